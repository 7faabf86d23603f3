#pragma once
// Where to open a window for the first time so that it covers none of the program's other
// windows: beside one of them, wholly on the screen.
#include <QList>
#include <QPoint>
#include <QRect>

namespace tavlo {

// The top-left corner for a window (frame included) of `size` on `screen`: the first place right
// of, below, left of or above one of the `taken` rectangles (in that order, aligned with its top
// or left edge) that lies wholly on the screen and meets none of them; else the place on the
// screen that covers least of them.
QPoint FreePlace(QSize size, const QList<QRect>& taken, const QRect& screen);

}  // namespace tavlo
