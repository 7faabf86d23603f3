#pragma once
// The commands of the Palette menu: each runs its pure operation on the document's colours and
// applies the result as one undo step named after the command. Only the delete command moves the
// selection; the others leave the selected entry, its frame and the current-colour display as
// they were, even when the selected entry now holds another colour.
#include <QString>

class QWidget;

namespace tavlo {

class PaletteDocument;
class PaletteWindow;

void ShiftPaletteLeft(PaletteDocument& palette);
void ShiftPaletteRight(PaletteDocument& palette);
void SortAndClean(PaletteDocument& palette);
// Coarsens by `divisorText`, the divisor chosen in "Compress:" (2 unless it is one of 2..50).
void CompressPalette(PaletteDocument& palette, const QString& divisorText);
void ConvertToWebSafe(PaletteDocument& palette);
void ConvertToGreyscale(PaletteDocument& palette);

// Asks for a range of entries ("Delete palette") and clears it to black; then entry 0 is selected
// and the palette window's current-colour display shows black. Cancel changes nothing.
void DeleteEntries(QWidget* owner, PaletteWindow& window);

}  // namespace tavlo
