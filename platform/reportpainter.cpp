#include "reportpainter.h"

#include "fonts.h"

#include <QPainter>
#include <QTextLayout>
#include <algorithm>

namespace zarn {

namespace {

constexpr double kUnitsPerTenth = 10;               // hundredths of a millimetre per tenth
constexpr double kUnitsPerPoint = 2540.0 / 72.0;    // hundredths of a millimetre per point
constexpr double kFrameWidth = kUnitsPerPoint;      // frame lines are one point wide
constexpr int kShapedLimit = 4096; // texts kept per font before starting afresh

} // namespace

ReportPainter::ReportPainter(const ReportTemplate &layout)
    : m_layout(layout)
{
    for (const ReportBand &band : layout.bands) {
        std::vector<int> fonts;
        for (const ReportElement &element : band.elements)
            fonts.push_back(element.isText() ? fontIndex(element) : -1);
        m_elementFonts.push_back(std::move(fonts));
    }
    m_shaped.resize(m_fonts.size());
    m_ascii.resize(m_fonts.size());
}

int ReportPainter::fontIndex(const ReportElement &element)
{
    QFont font = windowsFont(element.fontFamily, int(std::lround(element.pointSize * kUnitsPerPoint)), element.bold);
    // Device-independent metrics: the same widths on every output.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::ForceOutline | QFont::PreferQuality));
    font.setKerning(false);
    for (size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i] == font)
            return int(i);
    m_fonts.push_back(font);
    return int(m_fonts.size()) - 1;
}

void ReportPainter::setUpPainter(QPainter &painter, double dotsPerInch)
{
    const double dotsPerUnit = dotsPerInch / 2540.0;
    painter.resetTransform();
    painter.scale(dotsPerUnit, dotsPerUnit);
}

const ReportPainter::Shaped &ReportPainter::shape(int font, const QString &text)
{
    QHash<QString, Shaped> &cache = m_shaped[size_t(font)];
    auto it = cache.constFind(text);
    if (it != cache.constEnd())
        return *it;
    if (cache.size() > kShapedLimit)
        cache.clear();
    if (Shaped quick; shapeAscii(font, text, quick))
        return *cache.insert(text, quick);
    QTextLayout layout(text, m_fonts[size_t(font)]);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e9);
    layout.endLayout();
    Shaped shaped;
    shaped.runs = layout.glyphRuns();
    shaped.width = line.naturalTextWidth();
    roundPositions(shaped);
    return *cache.insert(text, shaped);
}

// Glyphs sit on whole hundredths of a millimetre, far below any device's
// dot: the output then states each position in few digits.
void ReportPainter::roundPositions(Shaped &shaped)
{
    for (QGlyphRun &run : shaped.runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF &p : positions)
            p = QPointF(std::round(p.x()), std::round(p.y()));
        run.setPositions(positions);
    }
}

bool ReportPainter::shapeAscii(int font, const QString &text, Shaped &shaped)
{
    // Dates, numbers and amounts are plain ASCII in the font's own glyphs:
    // without kerning their run is the sum of the characters' advances, so it
    // is put together from a table instead of shaped anew.
    AsciiGlyphs &table = m_ascii[size_t(font)];
    if (!table.ready) {
        table.ready = true;
        table.font = QRawFont::fromFont(m_fonts[size_t(font)]);
        for (char16_t c = 32; c < 127; ++c) {
            const QList<quint32> glyph = table.font.glyphIndexesForString(QString(QChar(c)));
            if (glyph.size() == 1 && glyph[0] != 0) {
                table.glyph[c] = glyph[0];
                table.advance[c] = table.font.advancesForGlyphIndexes(glyph).value(0).x();
            }
        }
    }
    if (!table.font.isValid())
        return false;
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(text.size());
    positions.reserve(text.size());
    const double baseline = table.font.ascent();
    double x = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 32 || u >= 127 || table.glyph[u] == 0)
            return false;
        glyphs << table.glyph[u];
        positions << QPointF(std::round(x), std::round(baseline));
        x += table.advance[u];
    }
    QGlyphRun run;
    run.setRawFont(table.font);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    shaped.runs = {run};
    shaped.width = x;
    return true;
}

double ReportPainter::textWidth(const ReportElement &element, const QString &text)
{
    return shape(fontIndex(element), text).width;
}

void ReportPainter::drawFrame(QPainter &painter, const QRectF &rect, int frame)
{
    // Each flagged edge lies inside the rectangle, at least one dot wide.
    const double w = std::max(kFrameWidth, m_dot);
    if (frame & ReportElement::Top)
        painter.fillRect(QRectF(rect.left(), rect.top(), rect.width(), w), Qt::black);
    if (frame & ReportElement::Bottom)
        painter.fillRect(QRectF(rect.left(), rect.bottom() - w, rect.width(), w), Qt::black);
    if (frame & ReportElement::Left)
        painter.fillRect(QRectF(rect.left(), rect.top(), w, rect.height()), Qt::black);
    if (frame & ReportElement::Right)
        painter.fillRect(QRectF(rect.right() - w, rect.top(), w, rect.height()), Qt::black);
}

void ReportPainter::paintBand(QPainter &painter, const ReportPages &pages, const PlacedBand &placed)
{
    const ReportBand &band = m_layout.bands[placed.band];
    const double x0 = m_layout.leftMargin * kUnitsPerTenth;
    const double y0 = placed.top * kUnitsPerTenth;
    const QRectF bandRect(x0, y0, band.width * kUnitsPerTenth, band.height * kUnitsPerTenth);
    // The band's white ground shows only where it covers the band above
    // (bands overlap by less than their rounding); a cover thinner than one
    // device dot changes nothing on the output.
    if (m_bandBottom - bandRect.top() >= m_dot)
        painter.fillRect(bandRect, Qt::white);
    m_bandBottom = bandRect.bottom();

    // What is already drawn inside the band: the white fill of a text box
    // matters only where it covers some of it (a column line, another text).
    m_drawn.clear();
    int value = 0;
    for (size_t i = 0; i < band.elements.size(); ++i) {
        const ReportElement &e = band.elements[i];
        const QRectF box(x0 + e.left * kUnitsPerTenth, y0 + e.top * kUnitsPerTenth, e.width * kUnitsPerTenth,
                         e.height * kUnitsPerTenth);
        switch (e.kind) {
        case ReportElement::Kind::Shape: {
            QPen pen(Qt::black, 0); // the device's thinnest line
            painter.setPen(pen);
            painter.drawLine(QLineF(box.topLeft(), box.bottomLeft()));
            painter.drawLine(QLineF(box.topRight(), box.bottomRight()));
            m_drawn.push_back(QRectF(box.left() - m_dot, box.top(), 2 * m_dot, box.height()));
            m_drawn.push_back(QRectF(box.right() - m_dot, box.top(), 2 * m_dot, box.height()));
            break;
        }
        case ReportElement::Kind::RichText:
            drawFrame(painter, box, e.frame);
            if (e.frame)
                m_drawn.push_back(box);
            break;
        case ReportElement::Kind::Label:
        case ReportElement::Kind::DataText:
        case ReportElement::Kind::SystemData: {
            const QString text = e.kind == ReportElement::Kind::Label ? e.text : pages.value(placed, value++);
            if (text.isEmpty())
                break; // an empty value prints nothing
            const Shaped &shaped = shape(m_elementFonts[placed.band][i], text);
            // The box takes the width of its text, keeping its left edge or centre.
            const double left = std::round(e.centred ? box.center().x() - shaped.width / 2 : box.left());
            const QRectF textBox(left, box.top(), shaped.width, box.height());
            // Opaque: the box is filled white first. On the band's white ground
            // that shows only where the box covers something drawn before it.
            if (std::any_of(m_drawn.begin(), m_drawn.end(), [&](const QRectF &r) { return r.intersects(textBox); }))
                painter.fillRect(textBox, Qt::white);
            m_drawn.push_back(textBox);
            for (const QGlyphRun &run : shaped.runs)
                painter.drawGlyphRun(QPointF(left, std::round(box.top())), run);
            if (e.frame)
                drawFrame(painter, textBox, e.frame);
            break;
        }
        }
    }
    drawFrame(painter, bandRect, band.frame);
}

void ReportPainter::paint(QPainter &painter, const ReportPages &pages, int page)
{
    const double scale = painter.transform().m11();
    m_dot = scale > 0 ? 1.0 / scale : 1.0;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    m_bandBottom = -1;
    for (const PlacedBand &placed : pages.bandsOn(page))
        paintBand(painter, pages, placed);
    painter.restore();
}

} // namespace zarn
