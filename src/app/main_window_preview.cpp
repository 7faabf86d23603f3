// "&Preview" on the menu bar: the palette-reduced picture over the picture area, and its export
// when the user asks for it with a click on the preview.
#include <span>

#include "app/main_window.h"
#include "dialogs/busy_pointer.h"
#include "image/picture_area.h"
#include "image/preview.h"
#include "image/preview_export.h"
#include "operations/ask_color_range.h"
#include "palette/palette_document.h"
#include "result/result_window.h"

namespace tavlo {

void MainWindow::PreviewCommand() {
  const std::optional<EntryRange> range = AskStartAndEndColor(this);
  if (!range) return;
  const auto colours = std::span(document_->Colors()).subspan(range->first, range->Count());
  const BusyPointer busy;  // while the library works
  picture_->ShowPreview(MakePreview(picture_->Picture(), colours));
  previewRange_ = *range;
  previewColours_.assign(colours.begin(), colours.end());
  if (result_) result_->SetRange(previewRange_);
}

void MainWindow::ExportPreviewCommand() {
  ExportPreview(this, picture_->PreviewImage(), previewColours_);
}

}  // namespace tavlo
