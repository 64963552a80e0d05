#pragma once

class QWidget;

namespace zarn {

// Shows a window modally: makes it visible and runs a nested message loop
// until the window is hidden or closed, or the application terminates;
// then hides it. Used for windows that are not dialogs (the main window).
void showModal(QWidget *window);

} // namespace zarn
