// Times the main window's search for one contract and "全部" on the
// zarn.mdb in the working directory:
//   zarn-bench-queries CONTRACT  ->  search_seconds=<s> rows=<n> all_seconds=<s> all_rows=<n>
#include "application.h"
#include "dm.h"
#include "main.h"
#include "querydataset.h"

#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    zarn::Application app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zarn-bench-queries CONTRACT\n");
        return 2;
    }
    zarn::Tdm2 dataModule(nullptr);
    zarn::dm2 = &dataModule;
    zarn::TForm1 form(nullptr);
    QElapsedTimer timer;
    timer.start();
    form.search(QStringLiteral("合同号"), QString::fromLocal8Bit(argv[1]));
    const double searchSeconds = timer.nsecsElapsed() / 1e9;
    const int found = dataModule.ADOQuery1->recordCount();
    timer.restart();
    form.dispall();
    const double allSeconds = timer.nsecsElapsed() / 1e9;
    std::printf("search_seconds=%.4f rows=%d all_seconds=%.3f all_rows=%d\n", searchSeconds, found, allSeconds,
                dataModule.ADOQuery1->recordCount());
    return 0;
}
