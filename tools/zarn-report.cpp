// zarn-report: lays out the ledger report of the zarn.mdb in the working
// directory with the application's template and engine and writes a PDF.
//   zarn-report -o FILE.pdf [--contract TEXT]
// Progress goes to standard error; pages are written as they are laid out,
// so memory stays flat however long the ledger is.
#include "application.h"
#include "dm.h"
#include "errorhandler.h"
#include "errors.h"
#include "ledgerqueries.h"
#include "querydataset.h"
#include "report.h"
#include "reportpainter.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextStream>

namespace {

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int usage(const QString &problem)
{
    err() << "zarn-report: " << problem << "\n"
          << "usage: zarn-report -o FILE.pdf [--contract TEXT]\n"
          << "  -o FILE.pdf      where to write the report\n"
          << "  --contract TEXT  only the rows of that contract number, as the search finds them\n";
    err().flush();
    return 2;
}

// PDF output at a resolution whose page coordinates stay small.
constexpr int kPdfResolution = 600;

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    zarn::Application app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString output, contract;
    bool byContract = false;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if ((arg == u"-o" || arg == u"--contract") && args.isEmpty())
            return usage(arg + QStringLiteral(" needs a value"));
        if (arg == u"-o") {
            output = args.takeFirst();
        } else if (arg == u"--contract") {
            contract = args.takeFirst();
            byContract = true;
        } else {
            return usage(QStringLiteral("unexpected argument '%1'").arg(arg));
        }
    }
    if (output.isEmpty())
        return usage(QStringLiteral("no output file given (-o FILE.pdf)"));

    // The data module's open errors go to standard error, not to boxes.
    QStringList openErrors;
    zarn::setErrorHandler([&](const std::exception &error) {
        openErrors << zarn::Application::messageOf(error);
    });
    try {
        zarn::Tdm2 dataModule(nullptr);
        zarn::dm2 = &dataModule;
        if (!dataModule.ADOQuery1->isActive()) {
            openErrors.removeDuplicates();
            err() << "zarn-report: " << openErrors.join(QStringLiteral("; ")) << "\n";
            return 1;
        }
        if (byContract)
            zarn::searchLedger(dataModule.ADOQuery1, QStringLiteral("合同号"), contract);

        zarn::Tqr1 report(dataModule.ADOQuery1, nullptr);
        QPdfWriter writer(output);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
        writer.setCreator(QStringLiteral("zarn"));
        writer.setTitle(QStringLiteral("Kestrune"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            err() << "zarn-report: cannot write " << output << "\n";
            return 1;
        }
        zarn::ReportPainter pagePainter(report.layout());
        zarn::ReportPages pages(report.layoutPointer());
        int written = 0;
        int shownPercent = -1;
        const bool complete = report.layoutInto(
            pages,
            [&](int page) {
                if (written++ > 0)
                    writer.newPage();
                zarn::ReportPainter::setUpPainter(painter, kPdfResolution);
                pagePainter.paint(painter, pages, page);
                pages.dropHeldPages();
            },
            [&](int percent) {
                if (percent != shownPercent) {
                    shownPercent = percent;
                    err() << "\r" << percent << "%";
                    err().flush();
                }
            },
            [] { return false; }, false);
        painter.end();
        err() << "\r" << written << " pages, " << dataModule.ADOQuery1->recordCount() << " rows -> " << output
              << "\n";
        return complete ? 0 : 1;
    } catch (const std::exception &error) {
        err() << "zarn-report: " << zarn::Application::messageOf(error) << "\n";
        return 1;
    }
}
