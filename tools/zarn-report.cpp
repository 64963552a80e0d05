// zarn-report: lays out the ledger report of the zarn.mdb in the working
// directory with the application's template and engine and writes a PDF.
//   zarn-report -o FILE.pdf [--contract TEXT] [--pages FROM-TO] [--jobs N]
// Progress goes to standard error; pages are written as they are laid out,
// so memory stays flat however long the ledger is. A long report is written
// in parts by several processes at once and the parts joined.
#include "application.h"
#include "dm.h"
#include "errorhandler.h"
#include "errors.h"
#include "ledgerqueries.h"
#include "pdfmerge.h"
#include "querydataset.h"
#include "report.h"
#include "pagedoutput.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

namespace {

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int usage(const QString &problem)
{
    err() << "zarn-report: " << problem << "\n"
          << "usage: zarn-report -o FILE.pdf [--contract TEXT] [--pages FROM-TO] [--jobs N]\n"
          << "  -o FILE.pdf      where to write the report\n"
          << "  --contract TEXT  only the rows of that contract number, as the search finds them\n"
          << "  --pages FROM-TO  only these pages (TO may be left out: to the end)\n"
          << "  --jobs N         processes writing parts of a long report at once (default: the cores, at most 2)\n";
    err().flush();
    return 2;
}

// PDF output at a resolution whose page coordinates stay small.
constexpr int kPdfResolution = 600;
// Below this many pages one process writes the whole report.
constexpr int kPagesForParts = 400;

struct Options
{
    QString output;
    QString contract;
    bool byContract = false;
    int from = 1;
    int to = 0; // 0: to the end
    int jobs = 0;
};

// Pages the report will have for `rows` rows: 23 on the first page, 27 on
// each further one, the summary on one more page when the last is full.
int expectedPages(int rows)
{
    if (rows == 0)
        return 1;
    const int rowPages = (rows + 4 + 26) / 27;
    const int lastRows = rows + 4 - 27 * (rowPages - 1);
    return lastRows <= 26 ? rowPages : rowPages + 1;
}

// Writes pages [from, to] of the laid-out report to `output`.
int writePages(zarn::QueryDataset *view, const Options &options, bool showProgress)
{
    zarn::Tqr1 report(view, nullptr);
    QPdfWriter writer(options.output);
    writer.setResolution(kPdfResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
    writer.setCreator(QStringLiteral("zarn"));
    writer.setTitle(QStringLiteral("Kestrune"));
    zarn::PagedReportOutput output(writer, kPdfResolution, report.layout(), [&options](int page) {
        return page >= options.from && (options.to == 0 || page <= options.to);
    });
    if (!output.begin()) {
        err() << "zarn-report: cannot write " << options.output << "\n";
        return 1;
    }
    zarn::ReportPages pages(report.layoutPointer());
    int last = 0;
    int shownPercent = -1;
    const bool complete = report.layoutInto(
        pages,
        [&](int page) {
            last = page;
            output.page(pages, page);
            pages.dropHeldPages();
        },
        [&](int percent) {
            if (showProgress && percent != shownPercent) {
                shownPercent = percent;
                err() << "\r" << percent << "%";
                err().flush();
            }
        },
        [&] { return options.to > 0 && last >= options.to; }, false);
    output.end();
    if (showProgress)
        err() << "\r" << output.written() << " pages, " << view->recordCount() << " rows -> " << options.output << "\n";
    return complete || (options.to > 0 && last >= options.to) ? 0 : 1;
}

// Writes the report in parts, one process each, and joins the parts.
int writeInParts(const Options &options, int pages, int jobs)
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        err() << "zarn-report: no temporary folder\n";
        return 1;
    }
    err() << pages << " pages in " << jobs << " parts...\n";
    err().flush();
    std::vector<std::unique_ptr<QProcess>> parts;
    QStringList files;
    const int size = (pages + jobs - 1) / jobs;
    for (int i = 0; i < jobs; ++i) {
        const int from = i * size + 1;
        const QString file = dir.filePath(QStringLiteral("part%1.pdf").arg(i));
        QStringList arguments{QStringLiteral("-o"), file, QStringLiteral("--jobs"), QStringLiteral("1"),
                              QStringLiteral("--pages"),
                              i + 1 < jobs ? QStringLiteral("%1-%2").arg(from).arg(from + size - 1)
                                           : QStringLiteral("%1-").arg(from)};
        if (options.byContract)
            arguments << QStringLiteral("--contract") << options.contract;
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedOutputChannel);
        process->start(QCoreApplication::applicationFilePath(), arguments);
        parts.push_back(std::move(process));
        files << file;
    }
    for (const auto &process : parts) {
        process->waitForFinished(-1);
        if (process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0) {
            err() << "zarn-report: " << QString::fromLocal8Bit(process->readAllStandardError()).trimmed() << "\n";
            return 1;
        }
    }
    QString joined = files.first();
    for (int i = 1; i < files.size(); ++i) {
        const QString next = dir.filePath(QStringLiteral("joined%1.pdf").arg(i));
        zarn::pdf::mergeFiles(joined, files[i], next);
        joined = next;
    }
    QFile::remove(options.output);
    if (!QFile::rename(joined, options.output) && !QFile::copy(joined, options.output)) {
        err() << "zarn-report: cannot write " << options.output << "\n";
        return 1;
    }
    err() << pages << " pages -> " << options.output << "\n";
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    zarn::Application app(argc, argv);
    QStringList args = app.arguments().mid(1);
    Options options;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        const bool takesValue = arg == u"-o" || arg == u"--contract" || arg == u"--pages" || arg == u"--jobs";
        if (takesValue && args.isEmpty())
            return usage(arg + QStringLiteral(" needs a value"));
        if (arg == u"-o") {
            options.output = args.takeFirst();
        } else if (arg == u"--contract") {
            options.contract = args.takeFirst();
            options.byContract = true;
        } else if (arg == u"--pages") {
            const QStringList range = args.takeFirst().split(u'-');
            bool fromOk = false, toOk = true;
            options.from = range.value(0).toInt(&fromOk);
            options.to = range.size() > 1 && !range[1].isEmpty() ? range[1].toInt(&toOk) : 0;
            if (range.size() > 2 || !fromOk || !toOk || options.from < 1 || (options.to != 0 && options.to < options.from))
                return usage(QStringLiteral("--pages needs FROM-TO, such as 1-10 or 5-"));
        } else if (arg == u"--jobs") {
            bool ok = false;
            options.jobs = args.takeFirst().toInt(&ok);
            if (!ok || options.jobs < 1 || options.jobs > 16)
                return usage(QStringLiteral("--jobs needs a number from 1 to 16"));
        } else {
            return usage(QStringLiteral("unexpected argument '%1'").arg(arg));
        }
    }
    if (options.output.isEmpty())
        return usage(QStringLiteral("no output file given (-o FILE.pdf)"));
    const bool wholeReport = options.from == 1 && options.to == 0;

    // The data module's open errors go to standard error, not to boxes.
    QStringList openErrors;
    zarn::setErrorHandler([&](const std::exception &error) {
        openErrors << zarn::Application::messageOf(error);
    });
    try {
        int pages = 0;
        int jobs = 1;
        {
            zarn::Tdm2 dataModule(nullptr);
            zarn::dm2 = &dataModule;
            if (!dataModule.ADOQuery1->isActive()) {
                openErrors.removeDuplicates();
                err() << "zarn-report: " << openErrors.join(QStringLiteral("; ")) << "\n";
                return 1;
            }
            if (options.byContract)
                zarn::searchLedger(dataModule.ADOQuery1, QStringLiteral("合同号"), options.contract);
            pages = expectedPages(dataModule.ADOQuery1->recordCount());
            jobs = options.jobs > 0 ? options.jobs : std::min(QThread::idealThreadCount(), 2);
            if (!(wholeReport && jobs > 1 && pages >= kPagesForParts))
                return writePages(dataModule.ADOQuery1, options, wholeReport);
            zarn::dm2 = nullptr;
        }
        // The parts read the ledger themselves; this process holds nothing meanwhile.
        return writeInParts(options, pages, jobs);
    } catch (const std::exception &error) {
        err() << "zarn-report: " << zarn::Application::messageOf(error) << "\n";
        return 1;
    }
}
