#pragma once

#include "reportpages.h"

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QRawFont>
#include <vector>

class QPainter;

namespace zarn {

// Draws laid-out pages. The painter's coordinates must be hundredths of a
// millimetre from the sheet's top-left corner (see setUpPainter); text is
// measured and shaped in those units, so the screen, the printer and PDF
// show the same layout. Shaped texts are kept for reuse, since a ledger
// repeats its dates, products and quantities.
class ReportPainter final
{
public:
    explicit ReportPainter(const ReportTemplate &layout);

    // Maps hundredths of a millimetre onto a device with the given
    // resolution (dots per inch), the sheet's corner at the device's origin.
    static void setUpPainter(QPainter &painter, double dotsPerInch);

    void paint(QPainter &painter, const ReportPages &pages, int page);

    // Width of a text in an element's font, in hundredths of a millimetre.
    double textWidth(const ReportElement &element, const QString &text);

private:
    struct Shaped
    {
        QList<QGlyphRun> runs;
        double width = 0;
    };
    const Shaped &shape(int font, const QString &text);
    bool shapeAscii(int font, const QString &text, Shaped &shaped);
    static void roundPositions(Shaped &shaped);
    struct AsciiGlyphs
    {
        bool ready = false;
        QRawFont font;
        quint32 glyph[127] = {};
        double advance[127] = {};
    };
    std::vector<AsciiGlyphs> m_ascii; // per font
    void paintBand(QPainter &painter, const ReportPages &pages, const PlacedBand &placed);
    void drawFrame(QPainter &painter, const QRectF &rect, int frame);
    int fontIndex(const ReportElement &element);

    const ReportTemplate &m_layout;
    std::vector<QFont> m_fonts;
    std::vector<std::vector<int>> m_elementFonts; // band -> element -> font
    std::vector<QHash<QString, Shaped>> m_shaped; // per font
    std::vector<QRectF> m_drawn; // inside the band being painted
    double m_bandBottom = -1;  // of the band painted last on this page
    double m_dot = 1;                              // one device dot, in hundredths of a millimetre
};

} // namespace zarn
