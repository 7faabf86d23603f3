#pragma once
// Reading colours off the picture into the palette window: the colour under the pointer with
// its enlarged neighbourhood in the zoom lens, and picks into consecutive palette entries.
#include <QImage>
#include <QPoint>

namespace tavlo {

class PaletteDocument;
class PaletteWindow;

// Shows the colour of picture pixel `at` in the current-colour display and the info panel, and
// the zoom lens around it. A point outside the picture changes nothing.
void ShowColorUnderPointer(PaletteWindow& palette, const QImage& picture, QPoint at, int zoom);

// A press on picture pixel `at`. Left: the selected entry takes the pixel's colour and the
// selection moves on to the next entry (staying on 255 at the end). Right or middle: the
// selection steps back one entry (staying on 0). A left press outside the picture does nothing.
// A pick is one undo step "Pick color".
void PickColor(PaletteDocument& palette, const QImage& picture, QPoint at, Qt::MouseButton button);

}  // namespace tavlo
