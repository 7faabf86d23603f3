// "&Preview" on the menu bar: the palette-reduced picture over the picture area, and its export
// when the user asks for it with a click on the preview. The preview shows the working range of
// the palette as it is: every change of the palette or of the range draws it again at once.
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
  picture_->HidePreview();  // drawn once below, not also for the change of range
  document_->SetWorkingRange(*range);
  DrawPreview();
}

std::vector<ColorValue> MainWindow::WorkingColors() const {
  return ColorsOf(document_->Colors(), document_->WorkingRange());
}

void MainWindow::DrawPreview() {
  const BusyPointer busy;  // while the library works
  picture_->ShowPreview(MakePreview(picture_->Picture(), WorkingColors()));
}

void MainWindow::FollowWithPreview() {
  if (picture_->PreviewShown()) DrawPreview();
}

void MainWindow::ExportPreviewCommand() {
  Exported(ExportPreview(this, picture_->PreviewImage(), WorkingColors(), picturePath_));
}

void MainWindow::Exported(const ExportedFile& file) {
  if (!file.path.isEmpty()) result_->ShowMessage(ExportedText(file));
}

}  // namespace tavlo
