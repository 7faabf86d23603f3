#pragma once
// Window geometry that depends on the screen: where a tool window opens when no position is
// stored for it, and how large the main window's picture area may be. Pure geometry in screen
// pixels.
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace tavlo {

// The top-left corner for a window of `size` in `available` (the area of the screen that windows
// may take). Tried in this order: to the right of avoid[0], then below it, then the same beside
// each further window of `avoid` (beside a window also means stacked after the others there).
// The first place wholly in `available` that covers none of `avoid` wins; when there is none,
// the place in `available` that covers the least of them.
QPoint PlaceBeside(const QRect& available, const std::vector<QRect>& avoid, QSize size);

// The size of an area whose content is `natural` large when it may take at most `room`: `natural`
// when that fits, else as much of it as fits, with room for the scroll bars (`scrollBars`: the
// width of a vertical one, the height of a horizontal one) it then needs, so that a direction
// that fits gets no scroll bar.
QSize FitScrolledArea(QSize natural, QSize room, QSize scrollBars);

// The position for a window whose frame is `frame`, moved as little as needed to lie wholly in
// `available` (to its top-left corner where it is larger).
QPoint KeepWithin(const QRect& available, const QRect& frame);

}  // namespace tavlo
