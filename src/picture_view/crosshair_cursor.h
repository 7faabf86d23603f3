#pragma once
#include <QCursor>

namespace tavlo {

// The picture area's pointer: a 32 x 32 cross of one-pixel lines through the hot spot (15, 15),
// each reaching from 6 to 24. X11 cursors cannot invert the screen, so the lines alternate black
// and white pixels and stay visible on any picture.
QCursor CrosshairCursor();

}  // namespace tavlo
