// An animated GIF in the windows: the caption counts its frames, the frame bar and Page Up and
// Page Down in both windows step through them with the main picture and the comparison view
// following, one palette is built from every frame (its clear pixels taking the transparent
// entry), and "Export GIF..." writes every frame with its delay and the loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "palette_model/palette_document.h"
#include "picture/picture_loader.h"
#include "picture_view/picture_area.h"
#include "result/comparison_view.h"
#include "result/frame_bar.h"
#include "result/result_texts.h"
#include "result/result_window.h"
#include "support/app_fixture.h"
#include "support/pillow.h"

namespace tavlo::testing {
namespace {

class AnimationWindowTest : public AppFixture {
 protected:
  void SetUp() override {
    TAVLO_SKIP_WITHOUT_PILLOW();
    StartApp();
    path_ = TempPath(QStringLiteral("moving.gif"));
    MakeAnimationWithPillow(path_, 3, QStringLiteral("1,2,3,1,1"));
    loaded_ = LoadPictureFile(path_);
    ASSERT_EQ(loaded_.animation.count, 5);
    OpenPicture(path_);
    Item("mnuShowResult")->trigger();
  }
  ResultWindow& Result() { return *Main().Result(); }
  QString FrameText() { return Result().findChild<QLabel*>("lblFrame")->text(); }
  const ResultFigures& WaitForFigures() {
    EXPECT_TRUE(QTest::qWaitFor([&] { return Result().CurrentFigures() != nullptr; }, 20000));
    return *Result().CurrentFigures();
  }

  QString path_;
  PictureResult loaded_;
};

TEST_F(AnimationWindowTest, FramesStepInBothWindowsAndThePictureFollows) {
  EXPECT_TRUE(Main().windowTitle().endsWith(QStringLiteral("moving.gif (5 frames)")));
  ASSERT_TRUE(Result().Frames()->isVisible());
  EXPECT_EQ(FrameText(), QStringLiteral("Frame 1 of 5"));
  QTest::mouseClick(Result().findChild<QToolButton*>("cmdNextFrame"), Qt::LeftButton);
  EXPECT_EQ(Main().Picture()->Picture(), LaidOverWhite(loaded_.animation.Frame(1)));
  Main().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Main()));
  QTest::keyClick(&Main(), Qt::Key_PageDown);
  EXPECT_EQ(FrameText(), QStringLiteral("Frame 3 of 5"));
  EXPECT_EQ(Main().Picture()->Picture(), LaidOverWhite(loaded_.animation.Frame(2)));
  Result().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Result()));
  QTest::keyClick(&Result(), Qt::Key_PageUp);
  EXPECT_EQ(Main().Picture()->CurrentFrame(), 1);
  EXPECT_EQ(FrameText(), QStringLiteral("Frame 2 of 5"));
  EXPECT_FALSE(Result().Frames()->Playing());
}

TEST_F(AnimationWindowTest, OnePaletteForAllFramesExportsEveryFrameExactly) {
  Trigger("mnuPaletteFromPicture");
  // Red and yellow in every frame, green in the fifth only, and the clear strip.
  const ResultFigures& figures = WaitForFigures();
  // The clear strip takes the transparent entry the command reserves, over all frames.
  EXPECT_EQ(figures.transparentEntry, 0);
  EXPECT_EQ(figures.entriesUsed, 4);
  EXPECT_EQ(figures.pixels, 5u * 24 * 16);
  EXPECT_LT(figures.maxLoss, 1e-4);
  const QString target = TempPath(QStringLiteral("out.gif"));
  dialogs_.AnswerSave(target);
  Trigger("mnuExportGif");
  const PillowFrames written = DecodeFramesWithPillow(target);
  EXPECT_EQ(written.loop, 3);
  EXPECT_EQ(written.durations, loaded_.animation.delays);
  ASSERT_EQ(written.frames.size(), 5u);
  // The comparison view's "Result" of the current frame is that frame of the file.
  ComparisonCanvas& view = Result().Comparison().Canvas();
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(written.frames[size_t(k)], LaidOverWhite(loaded_.animation.Frame(k)))
        << "frame " << k + 1;
    Main().Picture()->ShowFrame(k);
    ASSERT_EQ(view.PictureSize(), QSize(24, 16));
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 24; ++x)
        ASSERT_EQ(view.ColorOf({x, y}, ComparisonCanvas::Mode::kResult),
                  written.frames[size_t(k)].pixel(x, y))
            << "frame " << k + 1 << " at " << x << ", " << y;
    // The current frame's own share of the file.
    EXPECT_TRUE(Result()
                    .findChild<QLabel*>("lblFrameFigures")
                    ->text()
                    .startsWith(ByteCountText(figures.frames[size_t(k)].bytes)));
  }
}

// "Use the picture's colour table", offered by the result window, sets the entries and the
// working range to the colours of the GIF's tables in one step; the animation exported then is
// every frame exactly, no larger than the file.
TEST_F(AnimationWindowTest, ThePicturesOwnTableExportsEveryFrameNoLargerThanTheFile) {
  // Pillow gives each frame a table of its own, of the same few colours.
  const GifColorTable& table = loaded_.colorTable;
  ASSERT_TRUE(table.local);
  ASSERT_GE(table.colors.size(), 4u);
  // The result window offers it while the palette does not hold the table, and takes it.
  auto* offer = Result().findChild<QPushButton*>("cmdUsePictureTable");
  ASSERT_TRUE(offer->isVisible());
  const int steps = Document().UndoCount();
  QTest::mouseClick(offer, Qt::LeftButton);
  EXPECT_FALSE(offer->isVisible());
  EXPECT_EQ(Document().UndoCount(), steps + 1);
  EXPECT_EQ(Document().WorkingRange(), (EntryRange{0, int(table.colors.size()) - 1}));
  for (size_t i = 0; i < table.colors.size(); ++i)
    EXPECT_EQ(Document().GetEntryColor(int(i)), ColorValue(table.colors[i])) << i;
  WaitForFigures();
  const QString target = TempPath(QStringLiteral("again.gif"));
  dialogs_.AnswerSave(target);
  Trigger("mnuExportGif");
  const PillowFrames written = DecodeFramesWithPillow(target);
  ASSERT_EQ(written.frames.size(), 5u);
  for (int k = 0; k < 5; ++k)
    EXPECT_EQ(written.frames[size_t(k)], LaidOverWhite(loaded_.animation.Frame(k))) << k + 1;
  EXPECT_LE(QFileInfo(target).size(), QFileInfo(path_).size());
}

}  // namespace
}  // namespace tavlo::testing
