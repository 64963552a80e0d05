#include "startup.h"

int main(int argc, char **argv)
{
    return zarn::runApplication(argc, argv);
}
