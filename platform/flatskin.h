#pragma once

#include <QObject>

class QWidget;

namespace zarn {

// The flat-style skin of a window the user works with: flat controls, menus
// in the button-face colour with the 宋体 12-pixel font, a 24-pixel icon
// column, the selection in the highlight colour, no gradients. Looks only;
// nothing calls it after it is attached.
class FlatSkin final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FlatSkin)

public:
    // Attaches itself to `window` as its child and restyles it.
    explicit FlatSkin(QWidget *window);

    static constexpr int kIconWidth = 24;
    static constexpr int kFontPixels = 12;
};

} // namespace zarn
