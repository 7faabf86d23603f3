#pragma once
// The commands of the Palette menu: each runs its pure operation on the palette window's colours
// and writes the result back entry by entry through SetEntryColor. Only the delete command moves
// the selection; the others leave the selected entry, its frame and the current-colour display as
// they were, even when the selected entry now holds another colour.
class QWidget;

namespace tavlo {

class PaletteWindow;

void ShiftPaletteLeft(PaletteWindow& palette);
void ShiftPaletteRight(PaletteWindow& palette);
void SortAndClean(PaletteWindow& palette);
// Coarsens by the divisor chosen in "Compress:" (2 when none is chosen).
void CompressPalette(PaletteWindow& palette);
void ConvertToWebSafe(PaletteWindow& palette);
void ConvertToGreyscale(PaletteWindow& palette);

// Asks for a range of entries ("Delete palette") and clears it to black; then entry 0 is selected
// and the current-colour display shows black. Cancel changes nothing.
void DeleteEntries(QWidget* owner, PaletteWindow& palette);

}  // namespace tavlo
