// "&Preview" on the menu bar: the palette-reduced picture over the picture area. Clicks on the
// preview (hide, export) are the picture area's own.
#include <span>

#include "app/main_window.h"
#include "dialogs/busy_pointer.h"
#include "image/picture_area.h"
#include "image/preview.h"
#include "operations/ask_color_range.h"
#include "palette/palette_document.h"

namespace tavlo {

void MainWindow::PreviewCommand() {
  const std::optional<EntryRange> range = AskStartAndEndColor(this);
  if (!range) return;
  const auto colours = std::span(document_->Colors()).subspan(range->first, range->Count());
  const BusyPointer busy;  // while the library works
  picture_->ShowPreview(MakePreview(picture_->Picture(), colours));
}

}  // namespace tavlo
