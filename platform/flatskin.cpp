#include "flatskin.h"

#include <QWidget>

namespace zarn {

FlatSkin::FlatSkin(QWidget *window)
    : QObject(window)
{
    setObjectName(QStringLiteral("XPMenu1"));
    // Menu bar, separators and icon column in the button face; selection and
    // checked items in the highlight colour, their text in the menu-text
    // colour; disabled items in the inactive-caption colour.
    const QString sheet = QStringLiteral(
        "QMenuBar, QMenu { font-family: \"宋体\"; font-size: %1px; background: palette(button);"
        " color: palette(window-text); }"
        "QMenuBar::item { background: transparent; padding: 3px 7px; }"
        "QMenuBar::item:selected, QMenuBar::item:pressed { background: palette(highlight);"
        " color: palette(window-text); }"
        "QMenu { border: 1px solid palette(dark); padding: 1px; }"
        "QMenu::item { padding: 3px 24px 3px %2px; }"
        "QMenu::item:selected { background: palette(highlight); color: palette(window-text);"
        " border: 1px solid palette(highlight); }"
        "QMenu::item:disabled { color: #808080; }"
        "QMenu::separator { height: 1px; background: palette(mid); margin: 3px 0 3px %2px; }")
        .arg(kFontPixels)
        .arg(kIconWidth + 6);
    window->setStyleSheet(window->styleSheet() + sheet);
}

} // namespace zarn
