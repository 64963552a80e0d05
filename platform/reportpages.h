#pragma once

#include "reporttemplate.h"

#include <QIODevice>
#include <QString>
#include <memory>
#include <span>
#include <vector>

namespace zarn {

// One band placed on a page: which band of the template, where (tenths of a
// millimetre below the sheet's top edge) and where its values start.
struct PlacedBand
{
    quint16 band = 0;
    qint32 top = 0;
    quint64 values = 0; // offset of the band's first value in the value store
};

// Laid-out pages in a compact form: the bands placed on each page and the
// texts of their data and system elements. Painting needs only this and the
// template, so no raster image is kept per page.
class ReportPages final
{
public:
    explicit ReportPages(std::shared_ptr<const ReportTemplate> layout);

    const ReportTemplate &layout() const { return *m_template; }
    std::shared_ptr<const ReportTemplate> layoutPointer() const { return m_template; }

    int pageCount() const { return m_pageBase + int(m_pageStarts.size()); }

    void beginPage();
    // Places a band on the current page with the texts of its dynamic
    // elements, in the band's element order.
    void place(int band, int top, const QStringList &values);

    std::span<const PlacedBand> bandsOn(int page) const; // page counts from 1
    // The i-th value of a placed band.
    QString value(const PlacedBand &placed, int index) const;

    // Forgets the bands of every page made so far but keeps their count, so
    // that a stream of pages needs memory for one page only.
    void dropHeldPages();
    void clear();
    size_t memoryUsed() const;

    // The page file: a versioned format of its own holding the template too,
    // so that loaded pages print as they were laid out. Loading checks every
    // size against the file and raises Error with a clear message.
    void save(QIODevice &device) const;
    static ReportPages load(QIODevice &device);

private:
    std::shared_ptr<const ReportTemplate> m_template;
    std::vector<PlacedBand> m_bands;
    std::vector<quint32> m_pageStarts; // index of each held page's first band
    int m_pageBase = 0;                 // pages dropped from the front
    std::vector<char> m_values;         // varint length + UTF-8, back to back
};

} // namespace zarn
