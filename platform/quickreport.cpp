#include "quickreport.h"

#include "pagedoutput.h"
#include "reportpreview.h"
#include "windowplacement.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace zarn {

namespace {

// The stay-on-top window of a print run: percent in steps of 5, Cancel.
class PrintProgress final : public QWidget
{
public:
    explicit PrintProgress(QWidget *owner)
        : QWidget(owner, Qt::Dialog | Qt::WindowStaysOnTopHint)
    {
        setWindowTitle(QStringLiteral("Printing progress"));
        setAttribute(Qt::WA_DeleteOnClose, false);
        auto *layout = new QVBoxLayout(this);
        m_label = new QLabel(QStringLiteral("0%"), this);
        m_label->setAlignment(Qt::AlignCenter);
        layout->addWidget(m_label);
        auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
        layout->addWidget(cancel);
        connect(cancel, &QPushButton::clicked, this, [this] { m_cancelled = true; });
        resize(220, 90);
        centreOnScreen(this);
    }
    void setPercent(int percent)
    {
        const int step = percent / 5 * 5;
        if (step != m_shown) {
            m_shown = step;
            m_label->setText(QStringLiteral("%1%").arg(step));
        }
    }
    bool cancelled() const { return m_cancelled; }

private:
    QLabel *m_label = nullptr;
    int m_shown = 0;
    bool m_cancelled = false;
};

bool inRange(const QPrinter &printer, int page)
{
    if (printer.printRange() != QPrinter::PageRange || printer.fromPage() <= 0)
        return true;
    return page >= printer.fromPage() && page <= printer.toPage();
}

} // namespace

QuickReport::QuickReport(std::shared_ptr<const ReportTemplate> layout, std::unique_ptr<ReportDataSource> source,
                         QObject *parent)
    : QObject(parent), m_layout(std::move(layout)), m_source(std::move(source))
{
}

QuickReport::~QuickReport()
{
    delete m_preview; // a preview still open goes with its report
}

void QuickReport::prepare(QPrinter &printer)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDuplex(QPrinter::DuplexNone);
    printer.setPaperSource(QPrinter::Auto);
    printer.setFullPage(true); // positions from the paper's edges
}

bool QuickReport::layoutInto(ReportPages &pages, const std::function<void(int)> &pageCompleted,
                             const std::function<void(int)> &progress, const std::function<bool()> &cancelled,
                             bool handleMessages)
{
    m_running = true;
    struct Done
    {
        bool &flag;
        ~Done() { flag = false; }
    } done{m_running};
    ReportLayout layout(*m_layout, *m_source, pages);
    layout.pageCompleted = pageCompleted;
    layout.progress = progress;
    layout.cancelled = cancelled;
    if (handleMessages)
        layout.beforeRow = [] { QCoreApplication::processEvents(); };
    return layout.run();
}

void QuickReport::preview()
{
    QCoreApplication::processEvents();
    if (m_running || m_previewing)
        return;
    m_previewing = true;
    struct Done
    {
        bool &flag;
        ~Done() { flag = false; }
    } done{m_previewing};

    auto pages = std::make_shared<ReportPages>(m_layout);
    // The preview belongs to the report's window, so that a main window that
    // runs modally does not block it.
    m_preview = new ReportPreview(this, pages, qobject_cast<QWidget *>(parent()));
    QPointer<ReportPreview> window = m_preview;
    QEventLoop loop;
    connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->show();
    window->raise();
    window->activateWindow();
    window->runLayout();
    if (window)
        loop.exec();
    emit previewClosed();
}

void QuickReport::print(QPrinter &printer, bool quiet)
{
    if (m_running)
        return;
    if (printer.outputFormat() == QPrinter::NativeFormat && QPrinterInfo::availablePrinters().isEmpty())
        return; // no printer installed
    prepare(printer);
    PagedReportOutput output(printer, printer.resolution(), *m_layout,
                             [&printer](int page) { return inRange(printer, page); });
    if (!output.begin())
        return;
    std::unique_ptr<PrintProgress> window;
    if (!quiet) {
        window = std::make_unique<PrintProgress>(m_preview ? static_cast<QWidget *>(m_preview)
                                                           : qobject_cast<QWidget *>(parent()));
        window->show();
    }
    ReportPages pages(m_layout);
    int written = 0;
    auto write = [&](int page) {
        output.page(pages, page);
        written = page;
        pages.dropHeldPages();
    };
    const bool complete = layoutInto(
        pages, write, [&](int percent) { if (window) window->setPercent(percent); },
        [&] { return window && window->cancelled(); });
    // A cancelled run still prints what it laid out, without the summary.
    if (!complete && pages.pageCount() > written)
        write(pages.pageCount());
    output.end();
}

void QuickReport::printPages(const ReportPages &pages, QPrinter &printer)
{
    prepare(printer);
    PagedReportOutput output(printer, printer.resolution(), pages.layout(),
                             [&printer](int page) { return inRange(printer, page); });
    if (!output.begin())
        return;
    for (int page = 1; page <= pages.pageCount(); ++page)
        output.page(pages, page);
    output.end();
}

} // namespace zarn
