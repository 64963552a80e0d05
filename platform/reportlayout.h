#pragma once

#include "reportpages.h"

#include <QString>
#include <functional>

namespace zarn {

// What the layout reads of its dataset.
class ReportDataSource
{
public:
    virtual ~ReportDataSource() = default;
    // Makes the first row current; false when there is none (or the view is closed).
    virtual bool first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;
    virtual int recordCount() const = 0;
    // The display text of a field of the current row; empty for Null.
    virtual QString text(const QString &field) const = 0;
};

// Lays a template out over a dataset into pages: the title band, the column
// header, one detail band per row and the summary, with a new page when a
// band does not fit in the page body and the column header at the top of
// every further page.
class ReportLayout final
{
public:
    ReportLayout(const ReportTemplate &layout, ReportDataSource &source, ReportPages &pages);

    std::function<void(int page)> pageCompleted; // each page as soon as it is complete
    std::function<void(int percent)> progress;   // after every row
    std::function<bool()> cancelled;             // asked before every row
    std::function<void()> beforeRow;             // e.g. handle pending window messages

    // Runs the layout; false when it was cancelled (nothing more is placed).
    bool run();

private:
    void place(int band);
    void newPage();
    QStringList valuesOf(const ReportBand &band) const;

    const ReportTemplate &m_layout;
    ReportDataSource &m_source;
    ReportPages &m_pages;
    int m_position = 0;
    int m_page = 0;
    bool m_hasRows = false;
    int m_header = -1;
    QString m_date;
};

} // namespace zarn
