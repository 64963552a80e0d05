// Opens the ledger of the zarn.mdb in the working directory as the
// application does at start-up (fetch and compute every row) and prints
//   seconds=<time of the open> rows=<rows> peak_kib=<peak resident memory>
#include "dm.h"
#include "querydataset.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QElapsedTimer timer;
    timer.start();
    zarn::Tdm2 dataModule(nullptr);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!dataModule.ADOQuery1->isActive())
        return 1;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("seconds=%.3f rows=%d peak_kib=%ld\n", seconds, dataModule.ADOQuery1->recordCount(),
                usage.ru_maxrss);
    return 0;
}
