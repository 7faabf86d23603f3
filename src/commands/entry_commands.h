#pragma once
// The commands behind the palette window's gestures on single entries, each one undo step.
class QWidget;

namespace tavlo {

class PaletteDocument;

// Selects entry `index` and clears it to black ("Clear entry").
void ClearEntry(PaletteDocument& document, int index);

// Asks for a new colour of entry `index`, starting from its present one ("Edit entry"). Cancel
// changes nothing.
void EditEntry(QWidget* owner, PaletteDocument& document, int index);

// Swaps the colours of two entries ("Swap entries"); the selection stays where it is.
void SwapEntries(PaletteDocument& document, int source, int target);

}  // namespace tavlo
