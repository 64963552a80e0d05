#include "reportlayout.h"

#include "fieldtext.h"

#include <QDate>

namespace zarn {

ReportLayout::ReportLayout(const ReportTemplate &layout, ReportDataSource &source, ReportPages &pages)
    : m_layout(layout), m_source(source), m_pages(pages)
{
}

QStringList ReportLayout::valuesOf(const ReportBand &band) const
{
    QStringList values;
    for (const ReportElement &e : band.elements) {
        if (e.kind == ReportElement::Kind::DataText) {
            values << (m_hasRows ? m_source.text(e.field) : QString());
        } else if (e.kind == ReportElement::Kind::SystemData) {
            switch (e.system) {
            case ReportElement::SystemValue::Date:
                values << m_date;
                break;
            case ReportElement::SystemValue::PageNumber:
                values << QString::number(m_page);
                break;
            case ReportElement::SystemValue::RecordCount:
                values << QString::number(m_source.recordCount());
                break;
            }
        }
    }
    return values;
}

void ReportLayout::newPage()
{
    if (m_page > 0 && pageCompleted)
        pageCompleted(m_page);
    ++m_page;
    m_pages.beginPage();
    m_position = m_layout.topMargin;
    if (m_page > 1 && m_header >= 0) {
        const ReportBand &header = m_layout.bands[size_t(m_header)];
        m_pages.place(m_header, m_position, valuesOf(header));
        m_position += header.placedHeight();
    }
}

void ReportLayout::place(int band)
{
    const ReportBand &b = m_layout.bands[size_t(band)];
    if (m_page == 0 || m_layout.bodyEnd() - m_position < b.placedHeight())
        newPage();
    m_pages.place(band, m_position, valuesOf(b));
    m_position += b.placedHeight();
}

bool ReportLayout::run()
{
    m_date = fieldtext::locale().toString(QDate::currentDate(), QLocale::ShortFormat);
    m_hasRows = m_source.first();
    const int title = m_layout.bandIndex(ReportBand::Type::Title);
    const int detail = m_layout.bandIndex(ReportBand::Type::Detail);
    const int summary = m_layout.bandIndex(ReportBand::Type::Summary);
    // The column header repeats on further pages only when there are rows.
    m_header = m_hasRows ? m_layout.bandIndex(ReportBand::Type::ColumnHeader) : -1;

    if (title >= 0)
        place(title);
    if (m_hasRows) {
        if (m_header >= 0)
            place(m_header);
        const int total = std::max(m_source.recordCount(), 1);
        int done = 0;
        while (!m_source.eof()) {
            if (beforeRow)
                beforeRow();
            if (cancelled && cancelled())
                return false;
            place(detail);
            m_source.next();
            ++done;
            if (progress)
                progress(int(qint64(done) * 100 / total));
        }
    } else {
        if (cancelled && cancelled())
            return false;
        place(detail); // one empty ruled row
    }
    if (summary >= 0)
        place(summary);
    if (pageCompleted)
        pageCompleted(m_page);
    return true;
}

} // namespace zarn
