#include "commands/palette_commands.h"

#include "commands/ask_color_range.h"
#include "operations/palette_operations.h"
#include "palette_model/palette_document.h"
#include "palette_window/palette_window.h"

namespace tavlo {
namespace {

// The divisor list holds "2" to "50"; anything else falls back to its first item.
int CompressDivisor(const QString& divisorText) {
  bool ok = false;
  const int divisor = divisorText.toInt(&ok);
  return ok && divisor >= 2 && divisor <= 50 ? divisor : 2;
}

}  // namespace

void ShiftPaletteLeft(PaletteDocument& palette) {
  palette.Apply(QStringLiteral("Shift palette left"), ShiftPaletteLeft(palette.Colors()));
}

void ShiftPaletteRight(PaletteDocument& palette) {
  palette.Apply(QStringLiteral("Shift palette right"), ShiftPaletteRight(palette.Colors()));
}

void SortAndClean(PaletteDocument& palette) {
  palette.Apply(QStringLiteral("Sort & Clean"), SortAndClean(palette.Colors()));
}

void CompressPalette(PaletteDocument& palette, const QString& divisorText) {
  palette.Apply(QStringLiteral("Compress"),
                CompressPalette(palette.Colors(), CompressDivisor(divisorText)));
}

void ConvertToWebSafe(PaletteDocument& palette) {
  palette.Apply(QStringLiteral("Convert to websafe colors"), ConvertToWebSafe(palette.Colors()));
}

void ConvertToGreyscale(PaletteDocument& palette) {
  palette.Apply(QStringLiteral("Convert to greyscaled colors"),
                ConvertToGreyscale(palette.Colors()));
}

void DeleteEntries(QWidget* owner, PaletteWindow& window) {
  const auto range =
      AskColorRange(owner, QStringLiteral("Delete palette"), QStringLiteral("Delete palette"));
  if (!range) return;
  PaletteDocument& palette = window.Document();
  {
    const PaletteStep step(palette, QStringLiteral("Delete entries"));
    palette.Apply(QStringLiteral("Delete entries"), ClearRange(palette.Colors(), *range));
    palette.MoveSelectionTo(0);
  }
  window.ShowCurrentColor(0x00000000);
}

}  // namespace tavlo
