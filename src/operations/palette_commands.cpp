#include "operations/palette_commands.h"

#include "operations/ask_color_range.h"
#include "operations/palette_operations.h"
#include "palette/palette_window.h"

namespace tavlo {
namespace {

// Writes every entry in rising order. The swatch grid only marks changed swatches, so the whole
// palette is painted once, on the next turn of the event loop.
void Apply(PaletteWindow& palette, const PaletteColors& colors) {
  for (int i = 0; i < kPaletteSize; ++i) palette.SetEntryColor(i, colors[i]);
}

// The divisor list holds "2" to "50"; anything else falls back to its first item.
int CompressDivisor(const PaletteWindow& palette) {
  bool ok = false;
  const int divisor = palette.CompressDivisorText().toInt(&ok);
  return ok && divisor >= 2 && divisor <= 50 ? divisor : 2;
}

}  // namespace

void ShiftPaletteLeft(PaletteWindow& palette) {
  Apply(palette, ShiftPaletteLeft(palette.Colors()));
}

void ShiftPaletteRight(PaletteWindow& palette) {
  Apply(palette, ShiftPaletteRight(palette.Colors()));
}

void SortAndClean(PaletteWindow& palette) {
  Apply(palette, SortAndClean(palette.Colors()));
}

void CompressPalette(PaletteWindow& palette) {
  Apply(palette, CompressPalette(palette.Colors(), CompressDivisor(palette)));
}

void ConvertToWebSafe(PaletteWindow& palette) {
  Apply(palette, ConvertToWebSafe(palette.Colors()));
}

void ConvertToGreyscale(PaletteWindow& palette) {
  Apply(palette, ConvertToGreyscale(palette.Colors()));
}

void DeleteEntries(QWidget* owner, PaletteWindow& palette) {
  const auto range =
      AskColorRange(owner, QStringLiteral("Delete palette"), QStringLiteral("Delete palette"));
  if (!range) return;
  Apply(palette, ClearRange(palette.Colors(), *range));
  palette.MoveSelectionTo(0);
  palette.ShowCurrentColor(0x00000000);
}

}  // namespace tavlo
