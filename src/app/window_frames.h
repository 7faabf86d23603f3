// What the window manager adds around a top-level window, and waiting for it to be added.
#pragma once

#include <QMargins>

class QWidget;

namespace tavlo {

// The window system's frame around a top-level window: zero until it is first shown.
QMargins FrameMargins(const QWidget& window);

// A window manager frames a window a moment after it is shown; until then its frame is unknown and
// a window placed beside it would overlap it. Waits for that moment, half a second at most.
void WaitUntilExposed(const QWidget& window);

}  // namespace tavlo
