// "&Preview" on the menu bar: the palette-reduced picture over the picture area. Clicks on the
// preview (hide, export) are the picture area's own.
#include <QApplication>
#include <vector>

#include "app/main_window.h"
#include "image/picture_area.h"
#include "image/preview.h"
#include "operations/ask_color_range.h"
#include "palette/palette_window.h"

namespace tavlo {

void MainWindow::PreviewCommand() {
  const std::optional<EntryRange> range = AskColorRange(
      this, QStringLiteral("Select starting color"), QStringLiteral("Select endingcolor color"));
  if (!range) return;
  std::vector<ColorValue> colours;
  for (int k = 0; k < range->Count(); ++k)
    colours.push_back(palette_->GetEntryColor(range->first + k));
  // The busy pointer for all of the program's windows while the library works.
  struct BusyPointer {
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
  } busy;
  picture_->ShowPreview(MakePreview(picture_->Picture(), colours));
}

}  // namespace tavlo
