#pragma once

class QWidget;

namespace zarn {

// Moves a top-level window so that its frame is centred on the screen.
void centreOnScreen(QWidget *window);

} // namespace zarn
