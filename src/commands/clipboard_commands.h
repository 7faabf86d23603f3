#pragma once
// Copy and paste of the selected entry's colour through the desktop's clipboard, as text that
// other programs read and write ("#rrggbb"). Each returns the line the status shows: what was
// done, or why nothing was.
#include <QString>

namespace tavlo {

class PaletteDocument;

// Puts the selected entry's colour on the clipboard as "#rrggbb".
QString CopyEntryColor(const PaletteDocument& document);

// The colour the clipboard's text names ("#rrggbb", "rrggbb", "rgb(r, g, b)") into the selected
// entry, as one undo step "Paste colour". Any other clipboard content changes nothing.
QString PasteEntryColor(PaletteDocument& document);

}  // namespace tavlo
