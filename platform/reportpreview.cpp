#include "reportpreview.h"

#include "errors.h"
#include "quickreport.h"
#include "windowplacement.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace zarn {

// The sheet on screen at the preview's zoom.
class ReportPreview::PageView final : public QWidget
{
public:
    explicit PageView(ReportPreview *preview)
        : QWidget(nullptr), m_preview(preview)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().dark());
        if (m_preview->m_current < 1)
            return;
        const double s = m_preview->scale();
        const ReportTemplate &layout = m_preview->m_pages->layout();
        const QRectF sheet(0, 0, layout.pageWidth * 10 * s, layout.pageHeight * 10 * s);
        painter.fillRect(sheet, Qt::white);
        painter.scale(s, s);
        m_preview->m_painter->paint(painter, *m_preview->m_pages, m_preview->m_current);
    }

private:
    ReportPreview *m_preview;
};

ReportPreview::ReportPreview(QuickReport *report, std::shared_ptr<ReportPages> pages, QWidget *owner)
    : QWidget(owner, Qt::Window), m_report(report), m_pages(std::move(pages)),
      m_painter(std::make_unique<ReportPainter>(m_pages->layout())), m_printer(QPrinter::HighResolution)
{
    setObjectName(QStringLiteral("ReportPreview"));
    const QString title = m_pages->layout().title;
    setWindowTitle(title.isEmpty() ? QStringLiteral("Print Preview") : title);
    QuickReport::prepare(m_printer);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *tools = new QToolBar(this);
    layout->addWidget(tools);
    auto command = [this, tools](const char *name, const QString &text, auto handler) {
        QAction *action = tools->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    command("zoomFit", QStringLiteral("Zoom to fit"), [this] { setZoom(Zoom::Fit); });
    command("zoom100", QStringLiteral("100 %"), [this] { setZoom(Zoom::Natural); });
    command("zoomWidth", QStringLiteral("Zoom to width"), [this] { setZoom(Zoom::Width); });
    tools->addSeparator();
    command("firstPage", QStringLiteral("First page"), [this] { showPage(1); });
    command("previousPage", QStringLiteral("Previous page"), [this] { showPage(m_current - 1); });
    command("nextPage", QStringLiteral("Next page"), [this] { showPage(m_current + 1); });
    command("lastPage", QStringLiteral("Last page"), [this] { showPage(pageCount()); });
    command("goToPage", QStringLiteral("Go to page"), [this] {
        bool ok = false;
        const QString answer = QInputDialog::getText(this, QStringLiteral("Go to page"),
                                                     QStringLiteral("Page number (1 - %1):").arg(pageCount()),
                                                     QLineEdit::Normal, QString(), &ok);
        goToPage(ok ? answer : QString());
    });
    tools->addSeparator();
    m_setupAction = command("printerSetup", QStringLiteral("Printer setup"), [this] { printerSetup(); });
    m_printAction = command("print", QStringLiteral("Print"), [this] { print(); });
    tools->addSeparator();
    command("saveReport", QStringLiteral("Save report"), [this] {
        const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save report"), QString(),
                                                          QStringLiteral("QuickReport file (*.QRP)"));
        if (!path.isEmpty())
            saveFile(path.endsWith(QStringLiteral(".qrp"), Qt::CaseInsensitive) ? path : path + QStringLiteral(".QRP"));
    });
    command("loadReport", QStringLiteral("Load report"), [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Load report"), QString(),
                                                          QStringLiteral("QuickReport file (*.QRP)"));
        if (!path.isEmpty())
            loadFile(path);
    });
    tools->addSeparator();
    command("close", QStringLiteral("Close"), [this] { close(); });

    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_view = new PageView(this);
    m_scroll->setWidget(m_view);
    layout->addWidget(m_scroll, 1);
    auto *bar = new QStatusBar(this);
    m_status = new QLabel(bar);
    bar->addWidget(m_status, 1);
    layout->addWidget(bar);

    resize(500, 500);
    centreOnScreen(this);
    updateCommands();
    updateStatus();
}

ReportPreview::~ReportPreview() = default;

double ReportPreview::scale() const
{
    const ReportTemplate &layout = m_pages->layout();
    const double widthUnits = layout.pageWidth * 10, heightUnits = layout.pageHeight * 10;
    const QSize room = m_scroll->viewport()->size();
    switch (m_zoom) {
    case Zoom::Fit:
        return std::min(room.width() / widthUnits, room.height() / heightUnits);
    case Zoom::Natural:
        return logicalDpiX() / 2540.0;
    case Zoom::Width:
        return std::max(room.width() - 2, 50) / widthUnits;
    }
    return 1;
}

void ReportPreview::setZoom(Zoom zoom)
{
    m_zoom = zoom;
    const ReportTemplate &layout = m_pages->layout();
    const double s = scale();
    m_view->resize(int(layout.pageWidth * 10 * s), int(layout.pageHeight * 10 * s));
    m_view->update();
}

void ReportPreview::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    setZoom(m_zoom);
}

void ReportPreview::showPage(int page)
{
    if (pageCount() == 0)
        return;
    page = std::clamp(page, 1, pageCount());
    if (page == m_current)
        return;
    m_current = page;
    m_scroll->verticalScrollBar()->setValue(0);
    m_view->update();
    updateStatus();
}

void ReportPreview::goToPage(const QString &answer)
{
    bool ok = false;
    const int page = answer.trimmed().toInt(&ok);
    showPage(ok && page >= 1 && page <= pageCount() ? page : 1);
}

QString ReportPreview::statusText() const
{
    return m_status->text();
}

void ReportPreview::updateStatus()
{
    if (m_running)
        m_status->setText(QStringLiteral("%1%").arg(m_progress));
    else if (pageCount() > 0)
        m_status->setText(QStringLiteral("Page %1 of %2").arg(m_current).arg(pageCount()));
    else
        m_status->clear();
}

void ReportPreview::updateCommands()
{
    m_setupAction->setEnabled(!m_running && !m_loaded);
    m_printAction->setEnabled(!m_running);
}

void ReportPreview::runLayout()
{
    m_running = true;
    updateCommands();
    updateStatus();
    bool complete = false;
    try {
        complete = m_report->layoutInto(
            *m_pages,
            [this](int) {
                if (m_current == 0) {
                    setZoom(Zoom::Width);
                    showPage(1);
                }
                updateStatus();
            },
            [this](int percent) {
                if (percent != m_progress) {
                    m_progress = percent;
                    updateStatus();
                }
            },
            [this] { return m_closing; });
    } catch (...) {
        // The window stays, without pages, until the user closes it.
        m_running = false;
        m_pages->clear();
        m_current = 0;
        updateCommands();
        updateStatus();
        if (m_closing)
            deleteLater();
        throw;
    }
    m_running = false;
    if (!complete || m_closing) {
        m_pages->clear(); // a cancelled preview's pages are dropped
        deleteLater();
        return;
    }
    if (m_current == 0)
        showPage(1);
    updateCommands();
    updateStatus();
}

void ReportPreview::keyPressEvent(QKeyEvent *event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Home:
        showPage(1);
        return;
    case Qt::Key_End:
        showPage(pageCount());
        return;
    case Qt::Key_PageUp:
        showPage(ctrl ? 1 : m_current - 1);
        return;
    case Qt::Key_PageDown:
        showPage(ctrl ? pageCount() : m_current + 1);
        return;
    case Qt::Key_Escape:
        close();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ReportPreview::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_running) {
        // The run stops before its next row and the window goes then.
        m_closing = true;
        hide();
        return;
    }
    m_pages->clear();
    deleteLater();
}

void ReportPreview::print()
{
    if (m_running || m_report->isRunning())
        return;
    if (m_loaded)
        QuickReport::printPages(*m_pages, m_printer);
    else
        m_report->print(m_printer);
}

void ReportPreview::printerSetup()
{
    if (m_running || m_loaded)
        return;
    QPrintDialog dialog(&m_printer, this);
    dialog.setMinMax(1, std::max(pageCount(), 1));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.exec(); // confirming keeps the choices in the printer; cancelling leaves it
}

void ReportPreview::saveFile(const QString &path)
{
    if (m_running)
        return; // nothing is written before the layout has ended
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Error(QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString()));
    m_pages->save(file);
}

void ReportPreview::loadFile(const QString &path)
{
    if (m_running)
        return;
    QFile file(path);
    if (!file.exists())
        throw Error(QStringLiteral("文件 %1 不存在").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("无法打开文件 %1：%2").arg(path, file.errorString()));
    auto loaded = std::make_shared<ReportPages>(ReportPages::load(file));
    m_pages = loaded;
    m_painter = std::make_unique<ReportPainter>(m_pages->layout());
    m_loaded = true;
    m_current = 0;
    showPage(1);
    setZoom(m_zoom);
    updateCommands();
    updateStatus();
}

} // namespace zarn
