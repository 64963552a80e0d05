#include "pagedoutput.h"

#include <QPagedPaintDevice>

namespace zarn {

PagedReportOutput::PagedReportOutput(QPagedPaintDevice &device, double dotsPerInch, const ReportTemplate &layout,
                                     std::function<bool(int)> wanted)
    : m_device(device), m_dotsPerInch(dotsPerInch), m_wanted(std::move(wanted)), m_pagePainter(layout)
{
}

bool PagedReportOutput::begin()
{
    return m_painter.begin(&m_device);
}

void PagedReportOutput::page(const ReportPages &pages, int page)
{
    if (m_wanted && !m_wanted(page))
        return;
    if (m_written++ > 0)
        m_device.newPage();
    ReportPainter::setUpPainter(m_painter, m_dotsPerInch);
    m_pagePainter.paint(m_painter, pages, page);
}

void PagedReportOutput::end()
{
    m_painter.end();
}

} // namespace zarn
