#include "fonts.h"

#include <QStringList>

namespace zarn {

void installFontSubstitutions()
{
    // A Song (Ming) face for 宋体; Latin faces fall back to a CJK sans for
    // the Chinese characters they lack.
    const QStringList song = {QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC"),
                              QStringLiteral("Noto Sans CJK SC")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), song);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), song);
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC")});
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                                QStringLiteral("Noto Sans CJK SC")});
}

QFont windowsFont(const QString &family, int pixelHeight, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

} // namespace zarn
