#pragma once

#include "reportpages.h"
#include "reportpainter.h"

#include <QPainter>
#include <functional>

class QPagedPaintDevice;

namespace zarn {

// Paints laid-out pages onto a paged device (a printer or a PDF writer),
// one sheet for each page that `wanted` accepts, as the pages complete.
class PagedReportOutput final
{
public:
    PagedReportOutput(QPagedPaintDevice &device, double dotsPerInch, const ReportTemplate &layout,
                      std::function<bool(int page)> wanted = {});

    bool begin();
    void page(const ReportPages &pages, int page);
    void end();
    int written() const { return m_written; }

private:
    QPagedPaintDevice &m_device;
    double m_dotsPerInch;
    std::function<bool(int)> m_wanted;
    QPainter m_painter;
    ReportPainter m_pagePainter;
    int m_written = 0;
};

} // namespace zarn
