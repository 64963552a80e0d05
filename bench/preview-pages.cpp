// Lays the ledger report of the zarn.mdb in the working directory out into
// the preview's page model, as the preview does, without a window:
//   zarn-bench-preview  ->  seconds=<s> pages=<n> model_kib=<page model> peak_kib=<peak RSS>
#include "application.h"
#include "dm.h"
#include "querydataset.h"
#include "report.h"

#include <QElapsedTimer>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    zarn::Application app(argc, argv);
    zarn::Tdm2 dm(nullptr);
    zarn::Tqr1 report(dm.ADOQuery1, nullptr);
    zarn::ReportPages pages(report.layoutPointer());
    QElapsedTimer timer;
    timer.start();
    report.layoutInto(pages, {}, {}, [] { return false; });
    const double seconds = timer.nsecsElapsed() / 1e9;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("seconds=%.2f pages=%d model_kib=%zu peak_kib=%ld\n", seconds, pages.pageCount(),
                pages.memoryUsed() / 1024, usage.ru_maxrss);
    return 0;
}
