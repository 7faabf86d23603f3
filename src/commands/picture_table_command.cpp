#include "commands/picture_table_command.h"

#include "base/thousands.h"
#include "dialogs/dialog_service.h"
#include "palette_model/palette_document.h"

namespace tavlo {

void UsePictureColorTable(QWidget* owner, PaletteDocument& palette, const GifColorTable& table) {
  if (table.colors.empty()) {
    ShowWarning(owner, table.count > 0
                           ? FrameColorsText(table) +
                                 QStringLiteral(" A palette holds 256: \"Palette from picture\" "
                                                "chooses them.")
                           : QStringLiteral("The picture has no colour table."));
    return;
  }
  PaletteColors colors = palette.Colors();
  for (size_t i = 0; i < table.colors.size(); ++i) colors[i] = ColorValue(table.colors[i]);
  // The colours and the range as one step.
  const QString name = QStringLiteral("Use the picture's colour table");
  const PaletteStep step(palette, name);
  palette.Apply(name, colors);
  palette.SetWorkingRange({0, int(table.colors.size()) - 1});
}

bool PictureTableOffered(const PaletteDocument& palette, const GifColorTable& table) {
  const int count = int(table.colors.size());
  if (count == 0) return false;
  if (palette.WorkingRange() != EntryRange{0, count - 1}) return true;
  for (int i = 0; i < count; ++i)
    if (palette.GetEntryColor(i) != ColorValue(table.colors[size_t(i)])) return true;
  return false;
}

QString FrameColorsText(const GifColorTable& table) {
  if (!table.local) return {};
  return QStringLiteral("The frames hold %1 colours in all.")
      .arg(QString::fromStdString(WithThousands(std::uint64_t(table.count))));
}

}  // namespace tavlo
