#include "commands/entry_commands.h"

#include "dialogs/dialog_service.h"
#include "palette_model/palette_document.h"

namespace tavlo {

void ClearEntry(PaletteDocument& document, int index) {
  const PaletteStep step(document, QStringLiteral("Clear entry"));
  document.MoveSelectionTo(index);
  document.SetEntryColor(index, 0x00000000);
}

void EditEntry(QWidget* owner, PaletteDocument& document, int index) {
  ColorValue color = document.GetEntryColor(index);
  if (!Dialogs().ShowColorDialog(owner, color)) return;
  const PaletteStep step(document, QStringLiteral("Edit entry"));
  document.SetEntryColor(index, color);
}

void SwapEntries(PaletteDocument& document, int source, int target) {
  const PaletteStep step(document, QStringLiteral("Swap entries"));
  const ColorValue sourceColor = document.GetEntryColor(source);
  document.SetEntryColor(source, document.GetEntryColor(target));
  document.SetEntryColor(target, sourceColor);
}

}  // namespace tavlo
