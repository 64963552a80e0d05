#include "windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace zarn {

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->geometry().center());
    window->move(frame.topLeft());
}

} // namespace zarn
