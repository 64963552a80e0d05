#pragma once

#include <QFont>

namespace zarn {

// The Windows font names the windows and the report use ("宋体", "MS Sans
// Serif", "Arial") mapped to installed fonts with real Chinese glyphs.
// Installs the substitutions once; called by the application object.
void installFontSubstitutions();

// A font by its Windows name with a character height in pixels.
QFont windowsFont(const QString &family, int pixelHeight, bool bold = false);

} // namespace zarn
