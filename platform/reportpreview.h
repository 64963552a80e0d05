#pragma once

#include "reportpages.h"
#include "reportpainter.h"

#include <QPrinter>
#include <QWidget>
#include <memory>

class QAction;
class QLabel;
class QScrollArea;

namespace zarn {

class QuickReport;

// The report engine's preview window: pages join while the layout runs;
// zoom, page navigation, printer setup, print, save and load of page files.
// Only the pages on screen are painted, from the compact page model.
class ReportPreview final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReportPreview)

public:
    enum class Zoom { Fit, Natural, Width };

    // A window of its own; `owner` is the window it belongs to (so that a
    // modal main window does not block it).
    ReportPreview(QuickReport *report, std::shared_ptr<ReportPages> pages, QWidget *owner = nullptr);
    ~ReportPreview() override;

    // Lays the report out into this window's pages (the preview's run).
    void runLayout();

    int currentPage() const { return m_current; }
    int pageCount() const { return m_pages->pageCount(); }
    const ReportPages &pages() const { return *m_pages; }
    QString statusText() const;
    bool isLoaded() const { return m_loaded; }

    void showPage(int page);
    void setZoom(Zoom zoom);
    void goToPage(const QString &answer); // any answer but a page number shows page 1
    void print();
    void printerSetup();
    void saveFile(const QString &path);
    void loadFile(const QString &path);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    class PageView;
    void updateStatus();
    void updateCommands();
    double scale() const; // screen pixels per hundredth of a millimetre

    QuickReport *m_report = nullptr;
    std::shared_ptr<ReportPages> m_pages;
    std::unique_ptr<ReportPainter> m_painter;
    QScrollArea *m_scroll = nullptr;
    PageView *m_view = nullptr;
    QLabel *m_status = nullptr;
    QAction *m_setupAction = nullptr;
    QAction *m_printAction = nullptr;
    QPrinter m_printer;
    int m_current = 0;
    int m_progress = 0;
    Zoom m_zoom = Zoom::Width;
    bool m_running = false;
    bool m_closing = false;
    bool m_loaded = false;
};

} // namespace zarn
