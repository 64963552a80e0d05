#pragma once

#include "reportlayout.h"
#include "reportpages.h"
#include "reportpreview.h"
#include "reporttemplate.h"

#include <QObject>
#include <QPointer>
#include <memory>

class QPrinter;

namespace zarn {

class ReportPreview;

// The report engine's report object: a template bound to a dataset. It lays
// the report out into the preview's pages or onto a printer, letting window
// messages be handled before every row.
class QuickReport : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QuickReport)

public:
    QuickReport(std::shared_ptr<const ReportTemplate> layout, std::unique_ptr<ReportDataSource> source,
                QObject *parent);
    ~QuickReport() override;

    const ReportTemplate &layout() const { return *m_layout; }
    std::shared_ptr<const ReportTemplate> layoutPointer() const { return m_layout; }
    bool isRunning() const { return m_running; }

    // Opens the preview window (not modal), lays the report out into it and
    // returns when the window has been closed or the application ends.
    void preview();
    ReportPreview *previewWindow() const { return m_preview; }

    // One layout run into `pages`; false when cancelled. Window messages are
    // handled before every row unless `handleMessages` is false (a run
    // without windows, such as the command-line report).
    bool layoutInto(ReportPages &pages, const std::function<void(int page)> &pageCompleted,
                    const std::function<void(int percent)> &progress, const std::function<bool()> &cancelled,
                    bool handleMessages = true);

    // A fresh run against the printer; pages outside the printer's range are
    // laid out but not printed. Shows the progress window unless `quiet`.
    // Does nothing when no printer is available (and the printer is not a file).
    void print(QPrinter &printer, bool quiet = false);
    // Sends stored pages (a loaded page file) to the printer as they are.
    static void printPages(const ReportPages &pages, QPrinter &printer);

    // Sets the printer up as the template says: A4 landscape, one-sided,
    // automatic bin, positions from the paper's edges.
    static void prepare(QPrinter &printer);

signals:
    void previewClosed();

private:
    std::shared_ptr<const ReportTemplate> m_layout;
    std::unique_ptr<ReportDataSource> m_source;
    QPointer<ReportPreview> m_preview;
    bool m_running = false;
    bool m_previewing = false;
};

} // namespace zarn
