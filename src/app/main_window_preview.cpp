// "&Preview" on the menu bar: the palette-reduced picture over the picture area, and its export
// when the user asks for it with a click on the preview.
#include <span>

#include "app/main_window.h"
#include "commands/ask_color_range.h"
#include "dialogs/busy_pointer.h"
#include "palette_model/palette_document.h"
#include "picture/preview.h"
#include "picture_view/picture_area.h"
#include "picture_view/preview_export.h"
#include "result/result_window.h"

namespace tavlo {

void MainWindow::PreviewCommand() {
  const std::optional<EntryRange> range = AskStartAndEndColor(this);
  if (!range) return;
  const auto colors = std::span(document_->Colors()).subspan(range->first, range->Count());
  const BusyPointer busy;  // while the library works
  picture_->ShowPreview(MakePreview(picture_->Picture(), colors));
  previewRange_ = *range;
  previewColors_.assign(colors.begin(), colors.end());
  if (result_) result_->SetRange(previewRange_);
}

void MainWindow::ExportPreviewCommand() {
  ExportPreview(this, picture_->PreviewImage(), previewColors_);
}

}  // namespace tavlo
