// The "&Optimize" menu: the result window, which describes the picture reduced to the working
// range, the exports of that reduction as GIF and PNG, and the range commands.
#include "app/loss_budget_setting.h"
#include "app/main_window.h"
#include "app/window_frames.h"
#include "commands/optimize_commands.h"
#include "commands/picture_table_command.h"
#include "dialogs/dialog_service.h"
#include "palette_model/palette_document.h"
#include "palette_window/palette_window.h"
#include "palette_window/swatch_grid.h"
#include "picture_view/picture_area.h"
#include "picture_view/picture_export.h"
#include "reduction/from_image.h"
#include "reduction/gif_encoder.h"
#include "reduction/png_encoder.h"
#include "reduction/result_figures.h"
#include "result/comparison_view.h"
#include "result/frame_bar.h"
#include "result/result_window.h"
#include "store/settings.h"
#include "store/transparency_settings.h"
#include "store/twips.h"
#include "store/whole_number.h"
#include "store/window_geometry.h"

namespace tavlo {

void MainWindow::CreateResultWindow() {
  result_ = new ResultWindow(this, *document_);
  result_->SetBudget(ReadLossBudget());
  result_->SetAlphaRule({ReadAlphaThreshold(), ReadMatte()});
  result_->SetViewingPpd(ReadViewingPpd());
  const auto describePicture = [this] {
    QString notes = picture_->Losses().Text();
    if (const QString colors = FrameColorsText(pictureTable_); !colors.isEmpty())
      notes += (notes.isEmpty() ? QString() : QStringLiteral(" ")) + colors;
    result_->SetPicture(picture_->AllFrames(), notes, picture_->Timing());
  };
  describePicture();
  connect(picture_, &PictureArea::PictureChanged, result_, describePicture);
  const auto offerTable = [this] {
    result_->OfferPictureTable(PictureTableOffered(*document_, pictureTable_));
  };
  offerTable();
  connect(picture_, &PictureArea::PictureChanged, result_, offerTable);
  connect(document_, &PaletteDocument::EntriesChanged, result_, offerTable);
  connect(document_, &PaletteDocument::ResultSettingsChanged, result_, offerTable);
  connect(result_, &ResultWindow::PictureTableRequested, this, &MainWindow::UsePictureTableCommand);
  connect(result_->Frames(), &FrameBar::FrameChosen, picture_, &PictureArea::ShowFrame);
  connect(picture_, &PictureArea::FrameShown, result_, &ResultWindow::ShowFrame);
  connect(result_, &ResultWindow::ThresholdChosen, this, [this](int threshold) {
    WriteAlphaThreshold(threshold);
    result_->SetAlphaRule({threshold, result_->Alpha().matte});
  });
  connect(result_, &ResultWindow::MatteRequested, this, &MainWindow::ChooseMatteCommand);
  // "Follow the lens": the comparison looks where the pointer is in the picture.
  connect(picture_, &PictureArea::PointerMoved, result_,
          [this](QPoint at) { result_->Comparison().FollowPointer(at); });
  connect(result_, &ResultWindow::ShownChanged, this, [this](bool shown) {
    if (showResultItem_) showResultItem_->setChecked(shown);
  });
  connect(result_, &ResultWindow::UnusedEntriesChanged, this,
          [this](std::bitset<kPaletteSize> unused) {
            if (palette_) palette_->Swatches()->SetMarkedEntries(unused);
          });
}

void MainWindow::ChooseMatteCommand() {
  ColorValue matte = result_->Alpha().matte;
  if (!Dialogs().ShowColorDialog(result_, matte)) return;
  WriteMatte(matte);
  result_->SetAlphaRule({result_->Alpha().threshold, matte});
}

void MainWindow::RestoreResultPosition() {
  const QString left = ReadKey(keys::kResultLeft), top = ReadKey(keys::kResultTop);
  if (left.isEmpty() && top.isEmpty()) return;  // first start: placed when first shown
  result_->move(PixelsFromTwips(WholeNumber16Or(left, 0)),
                PixelsFromTwips(WholeNumber16Or(top, 0)));
  const int width = PixelsFromTwips(WholeNumber16Or(ReadKey(keys::kResultWidth), 0));
  const int height = PixelsFromTwips(WholeNumber16Or(ReadKey(keys::kResultHeight), 0));
  if (width > 0 && height > 0) result_->resize(width, height);
  result_->SetPaneHeights(PixelsFromTwips(WholeNumber16Or(ReadKey(keys::kResultViewHeight), 0)),
                          PixelsFromTwips(WholeNumber16Or(ReadKey(keys::kResultUsageHeight), 0)));
  resultPlaced_ = true;
}

void MainWindow::PlaceResultWindow() {
  if (resultPlaced_) return;
  resultPlaced_ = true;
  std::vector<QRect> taken = {frameGeometry()};
  if (palette_ && palette_->isVisible()) taken.push_back(palette_->frameGeometry());
  result_->resize(result_->size().expandedTo(result_->minimumSizeHint()));
  result_->move(PlaceBeside(AvailableArea(), taken, FramedSize(*result_)));
}

void MainWindow::StoreResultPosition() {
  if (result_) StoreLossBudget(result_->Budget());
  if (result_) StoreViewingPpd(result_->ViewingPpd());
  if (!result_ || !resultPlaced_) return;
  WriteKey(keys::kResultTop, QString::number(TwipsFromPixels(result_->pos().y())));
  WriteKey(keys::kResultLeft, QString::number(TwipsFromPixels(result_->pos().x())));
  WriteKey(keys::kResultWidth, QString::number(TwipsFromPixels(result_->width())));
  WriteKey(keys::kResultHeight, QString::number(TwipsFromPixels(result_->height())));
  const auto [view, usage] = result_->PaneHeights();
  WriteKey(keys::kResultViewHeight, QString::number(TwipsFromPixels(view)));
  WriteKey(keys::kResultUsageHeight, QString::number(TwipsFromPixels(usage)));
}

void MainWindow::ShowResultCommand() {
  if (result_->isVisible()) {
    result_->hide();
    return;
  }
  PlaceResultWindow();
  // The size the window will show at: its layout may need more than it was given, and a size
  // stored on a larger screen may be more than this one has.
  result_->resize(result_->size().expandedTo(result_->minimumSizeHint()));
  FitOnScreen(*result_);
  KeepOnScreen(*result_);
  result_->show();
  result_->raise();
  // Its own frame is known now, and may be thicker than the one it was placed by.
  WaitUntilExposed(*result_);
  KeepOnScreen(*result_);
}

void MainWindow::ExportGifCommand() {
  Exported(ExportPictureFile(
      this,
      {QStringLiteral("Export GIF"), QStringLiteral("GIF|*.gif|All files|*.*"),
       QStringLiteral("gif"), QStringLiteral("GIF"), picturePath_},
      [this](const QString&, int) {
        if (const ResultFigures* figures = result_->CurrentFigures();
            figures && !figures->gif.isEmpty())
          return EncodedPicture{figures->gif, {}};
        return EncodeImageGif(picture_->AllFrames(), result_->RangeColors(), result_->Budget(), 0,
                              result_->Rule(), picture_->Timing());
      }));
}

void MainWindow::ExportPngCommand() {
  const ExportedFile file = ExportPictureFile(
      this,
      {QStringLiteral("Export PNG"), QStringLiteral("PNG|*.png|All files|*.*"),
       QStringLiteral("png"), QStringLiteral("PNG"), picturePath_},
      [this](const QString&, int) {
        return EncodePng(ReduceImage(picture_->Source(), result_->RangeColors(), result_->Rule()));
      });
  Exported(file);
  // A PNG holds one picture: of an animation, the frame shown.
  if (!file.path.isEmpty() && picture_->Frames().Animated())
    result_->ShowMessage(ExportedText(file) + QStringLiteral(" It holds frame %1 of %2.")
                                                  .arg(picture_->CurrentFrame() + 1)
                                                  .arg(picture_->Frames().count));
}

void MainWindow::PaletteFromPictureCommand() {
  tavlo::PaletteFromPictureCommand(this, *document_, picture_->AllFrames(), result_->Alpha(),
                                   result_->Budget(), picture_->Timing());
}

void MainWindow::RemoveUnusedEntriesCommand() {
  tavlo::RemoveUnusedEntriesCommand(this, *document_, picture_->AllFrames(), result_->Alpha(),
                                    result_->Budget(), picture_->Timing());
}

void MainWindow::MergeNearColorsCommand() {
  tavlo::MergeNearColorsCommand(this, *document_, picture_->AllFrames(), result_->Alpha(),
                                result_->Budget(), picture_->Timing());
}

void MainWindow::UsePictureTableCommand() {
  UsePictureColorTable(this, *document_, pictureTable_);
}

void MainWindow::ReduceToTargetCommand() {
  tavlo::ReduceToTargetCommand(this, *document_, picture_->AllFrames(), result_->Alpha(),
                               result_->Budget(), result_->ViewingPpd(), picture_->Timing());
}

}  // namespace tavlo
