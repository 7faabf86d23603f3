// The range commands of the Optimize menu on the real windows: the working range without a
// prompt, their own prompts through the dialog door, one undo step each, nothing changed by a
// cancel at any prompt or during the work, the work done on a worker thread while the windows go
// on, the message of what was done, and the working range becoming the entries that hold the
// colours afterwards.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "app/main_window.h"
#include "palette_model/palette_document.h"
#include "picture_view/picture_area.h"
#include "quantize/range_operations.h"
#include "reduction/from_image.h"
#include "reduction/gif_encoder.h"
#include "result/result_window.h"
#include "support/app_fixture.h"
#include "support/named_colors.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

constexpr ColorValue kOutside = 0x00ABCDEF;

// 160 x 100 of smooth ramps with noise: a photo's many colours.
QImage Photo() {
  QImage image(160, 100, QImage::Format_RGB32);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 160; ++x)
      image.setPixel(x, y, qRgb(x * 255 / 160, y * 255 / 100, ((x * 7 + y * 13) % 23) * 5 + 60));
  return image;
}

// Four flat colours in bands of 10, 20, 30 and 40 columns (red the widest).
QImage Bands() {
  QImage image(100, 10, QImage::Format_RGB32);
  const QRgb bands[] = {qRgb(0, 0, 255), qRgb(0, 255, 0), qRgb(255, 255, 255), qRgb(255, 0, 0)};
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 100; ++x)
      image.setPixel(x, y, bands[x < 10 ? 0 : x < 30 ? 1 : x < 60 ? 2 : 3]);
  return image;
}

// Bands() with its blue band clear (alpha 0).
QImage ClearBands() {
  QImage image = Bands().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) image.setPixel(x, y, qRgba(0, 0, 255, 0));
  return image;
}

class OptimizeCommandsTest : public AppFixture {
 protected:
  // "Reduce to target..." over entries 1-256 with a GIF size target, which it reaches.
  void ReduceWholeRangeTo(qsizetype target) {
    Range(1, 256);
    dialogs_.AnswerInputs({QStringLiteral("\u2264 %1").arg(target)});
    Run("mnuReduceToTarget");
    EXPECT_TRUE(LastMessage().startsWith(QString::fromUtf8("Reached the target \u2264 ")))
        << LastMessage().toStdString();
  }
  void SetUp() override {
    StartApp();
    for (int i = 0; i < kPaletteSize; ++i) Document().SetEntryColor(i, kOutside);
    undoCount_ = Document().UndoCount();
  }

  void Show(const QImage& picture) { Main().Picture()->SetPicture(picture); }

  void Run(const char* item) {
    QAction* action = Main().findChild<QAction*>(QString::fromLatin1(item));
    ASSERT_TRUE(action) << item;
    action->trigger();
    QApplication::processEvents();
  }

  // The working range, entries `first` to `last` (1-based) as the user counts them.
  void Range(int first, int last) { Document().SetWorkingRange({first - 1, last - 1}); }

  // The palette filled from the picture in `first`..`last` (1-based), as a user would start.
  void FillFromPicture(int first, int last) {
    Range(first, last);
    Run("mnuPaletteFromPicture");
    undoCount_ = Document().UndoCount();
  }

  QString LastMessage() const {
    const auto messages = dialogs_.CallsOf("message");
    return messages.empty() ? QString() : messages.back().text;
  }

  void ExpectOneUndoStepNamed(const char* name, const PaletteColors& before) {
    EXPECT_EQ(Document().UndoCount(), undoCount_ + 1);
    EXPECT_EQ(Document().UndoName(), QString::fromUtf8(name));
    Document().Undo();
    EXPECT_EQ(Document().Colors(), before);
  }

  int undoCount_ = 0;
};

TEST_F(OptimizeCommandsTest, EveryCommandWithoutAPictureSaysSoAndAsksNothing) {
  Show(QImage());
  const PaletteColors before = Document().Colors();
  for (const char* item :
       {"mnuPaletteFromPicture", "mnuRemoveUnused", "mnuMergeNear", "mnuReduceToTarget"}) {
    Run(item);
    EXPECT_TRUE(LastMessage().startsWith("Open a picture first")) << item;
  }
  EXPECT_TRUE(dialogs_.CallsOf("input").empty());
  EXPECT_EQ(Document().Colors(), before);
  EXPECT_EQ(Document().UndoCount(), undoCount_);
}

TEST_F(OptimizeCommandsTest, CancelAtAnyPromptChangesNothing) {
  Show(Photo());
  FillFromPicture(1, 64);
  const PaletteColors before = Document().Colors();
  const struct {
    const char* item;
    QStringList answers;  // the last one empty: Cancel
  } cases[] = {
      {"mnuMergeNear", {""}},
      {"mnuReduceToTarget", {""}},
      {"mnuMergeNear", {"abc", ""}},
  };
  for (const auto& c : cases) {
    dialogs_.AnswerInputs(c.answers);
    Run(c.item);
    EXPECT_TRUE(dialogs_.AllAnswersUsed()) << c.item;
    EXPECT_EQ(Document().Colors(), before) << c.item << " " << c.answers.join('|').toStdString();
    EXPECT_EQ(Document().UndoCount(), undoCount_) << c.item;
  }
  // The working range is not asked for: the prompts are the commands' own.
  for (const auto& input : dialogs_.CallsOf("input"))
    EXPECT_NE(input.title, "Select starting color");
}

// Waits on the worker until `flag` is set, giving up after a minute so that a fault fails the
// test rather than hanging it; whether the flag came.
bool AwaitOnWorker(const std::atomic<bool>& flag) {
  for (int i = 0; i < 6000 && !flag; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return flag;
}

// Once the busy box is up, runs `step` on it; a box that never shows fails the test.
void WhenBusyBoxShows(std::function<void(QProgressDialog*)> step) {
  auto* timer = new QTimer;
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, tries, step] {
    auto* box = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
    if (!box && ++*tries < 3000) return;
    timer->stop();
    timer->deleteLater();
    if (box)
      step(box);
    else
      ADD_FAILURE() << "the busy box did not show";
  });
  timer->start(10);
}

TEST_F(OptimizeCommandsTest, TheWorkRunsBehindABusyBoxNamedAfterTheCommand) {
  Show(Photo());
  FillFromPicture(1, 64);
  Run("mnuRemoveUnused");
  dialogs_.AnswerInputs({"1.0"});
  Run("mnuMergeNear");
  dialogs_.AnswerInputs({"<= 50 %"});
  Run("mnuReduceToTarget");
  const auto busy = dialogs_.CallsOf("busy");
  ASSERT_EQ(busy.size(), 4u);
  const char* titles[] = {"Palette from picture", "Remove unused entries", "Merge near colours",
                          "Reduce to target"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(busy[i].title, titles[i]);
    EXPECT_TRUE(busy[i].text.endsWith(QChar(0x2026))) << busy[i].text.toStdString();
  }
}

TEST_F(OptimizeCommandsTest, CancelDuringTheWorkChangesNothingAndSaysNothing) {
  Show(Photo());
  FillFromPicture(1, 128);
  const PaletteColors before = Document().Colors();
  const struct {
    const char* item;
    QStringList answers;
  } cases[] = {
      {"mnuPaletteFromPicture", {}},
      {"mnuRemoveUnused", {}},
      {"mnuMergeNear", {"5"}},
      {"mnuReduceToTarget", {"<= 1000"}},
      {"mnuReduceToTarget", {"<= 90 %"}},
  };
  for (const auto& c : cases) {
    const size_t messages = dialogs_.CallsOf("message").size();
    dialogs_.AnswerInputs(c.answers);
    dialogs_.CancelBackgroundWork();
    Run(c.item);
    EXPECT_TRUE(dialogs_.AllAnswersUsed()) << c.item;
    EXPECT_EQ(Document().Colors(), before) << c.item;
    EXPECT_EQ(Document().UndoCount(), undoCount_) << c.item;
    EXPECT_EQ(dialogs_.CallsOf("message").size(), messages) << c.item;
  }
}

TEST_F(OptimizeCommandsTest, TheWindowsGoOnWhileTheWorkerWorksAndItsResultIsOneUndoStep) {
  Show(Bands());
  const PaletteColors before = Document().Colors();
  // The work does not finish before a timer of the window's thread has fired.
  std::atomic<bool> timerFired = false, sawTimer = false;
  QTimer::singleShot(0, [&] { timerFired = true; });
  Range(1, 4);
  dialogs_.RunBackgroundWorkForReal([&] { sawTimer = AwaitOnWorker(timerFired); });
  Run("mnuPaletteFromPicture");
  EXPECT_TRUE(sawTimer);
  EXPECT_EQ(Document().GetEntryColor(0), kRed);
  EXPECT_EQ(Document().GetEntryColor(3), kBlue);
  EXPECT_EQ(Main().Result()->Range(), (EntryRange{0, 3}));
  ExpectOneUndoStepNamed("Palette from picture", before);
}

TEST_F(OptimizeCommandsTest, WorkThatOutlastsAMomentShowsTheBoxThenApplies) {
  Show(Bands());
  const PaletteColors before = Document().Colors();
  auto release = std::make_shared<std::atomic<bool>>(false);
  WhenBusyBoxShows([release](QProgressDialog*) { *release = true; });
  Range(1, 4);
  dialogs_.RunBackgroundWorkForReal([release] { AwaitOnWorker(*release); });
  Run("mnuPaletteFromPicture");
  EXPECT_TRUE(*release);
  EXPECT_EQ(Document().GetEntryColor(0), kRed);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  ExpectOneUndoStepNamed("Palette from picture", before);
}

TEST_F(OptimizeCommandsTest, CancelOnTheBusyBoxReturnsAtOnceAndDropsTheResult) {
  Show(Bands());
  const PaletteColors before = Document().Colors();
  auto release = std::make_shared<std::atomic<bool>>(false);
  auto ended = std::make_shared<std::atomic<bool>>(false);
  QString title, label;
  WhenBusyBoxShows([&](QProgressDialog* box) {
    title = box->windowTitle();
    label = box->labelText();
    QPushButton* cancel = box->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    cancel->click();
  });
  Range(1, 4);
  dialogs_.RunBackgroundWorkForReal([release, ended] {
    AwaitOnWorker(*release);
    *ended = true;
  });
  Run("mnuPaletteFromPicture");
  EXPECT_FALSE(*ended);  // the command came back while the work was still held
  EXPECT_EQ(title, "Palette from picture");
  EXPECT_FALSE(label.isEmpty());
  EXPECT_EQ(Document().Colors(), before);
  EXPECT_EQ(Document().UndoCount(), undoCount_);
  EXPECT_TRUE(dialogs_.CallsOf("message").empty());
  *release = true;
  QThreadPool::globalInstance()->waitForDone();
  QApplication::processEvents();
  EXPECT_TRUE(*ended);
  EXPECT_EQ(Document().Colors(), before);
}

TEST_F(OptimizeCommandsTest, PaletteFromPictureFillsTheRangeMostUsedFirstAsOneUndoStep) {
  Show(Bands());
  const PaletteColors before = Document().Colors();
  Range(11, 20);
  Run("mnuPaletteFromPicture");
  EXPECT_EQ(Document().GetEntryColor(10), kRed);
  EXPECT_EQ(Document().GetEntryColor(11), kWhite);
  EXPECT_EQ(Document().GetEntryColor(12), kGreen);
  EXPECT_EQ(Document().GetEntryColor(13), kBlue);
  for (int i = 14; i < 20; ++i) EXPECT_EQ(Document().GetEntryColor(i), kBlack) << i;
  EXPECT_EQ(Document().GetEntryColor(9), kOutside);
  EXPECT_EQ(Document().GetEntryColor(20), kOutside);
  EXPECT_TRUE(LastMessage().startsWith("The picture has 4 colours")) << LastMessage().toStdString();
  EXPECT_TRUE(LastMessage().contains(QString::fromUtf8("Entries 11\u201314 hold the colours")));
  EXPECT_EQ(Main().Result()->Range(), (EntryRange{10, 13}));
  ExpectOneUndoStepNamed("Palette from picture", before);
}

TEST_F(OptimizeCommandsTest, RemoveUnusedClosesUpTheRangeAsOneUndoStep) {
  Show(Bands());
  const ColorValue entries[] = {kRed, 0x808080, kGreen, kRed, kBlue, kWhite};
  for (int k = 0; k < 6; ++k) Document().SetEntryColor(100 + k, entries[k]);
  undoCount_ = Document().UndoCount();
  const PaletteColors before = Document().Colors();
  Range(101, 106);
  Run("mnuRemoveUnused");
  const ColorValue expected[] = {kRed, kGreen, kBlue, kWhite, kBlack, kBlack};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(Document().GetEntryColor(100 + k), expected[k]) << k;
  EXPECT_EQ(Document().GetEntryColor(106), kOutside);
  EXPECT_TRUE(LastMessage().startsWith("Removed 2 unused entries.")) << LastMessage().toStdString();
  EXPECT_EQ(Main().Result()->Range(), (EntryRange{100, 103}));
  ExpectOneUndoStepNamed("Remove unused entries", before);

  Document().Redo();
  Range(101, 104);
  Run("mnuRemoveUnused");
  EXPECT_TRUE(LastMessage().contains("Nothing changed")) << LastMessage().toStdString();

  // The black tail of the range is unused too: dropping it leaves the colours as they are, and
  // the working range then becomes the entries that hold the colours.
  const int undoCount = Document().UndoCount();
  Range(101, 106);
  Run("mnuRemoveUnused");
  EXPECT_TRUE(LastMessage().endsWith("The palette itself is unchanged."))
      << LastMessage().toStdString();
  EXPECT_EQ(Main().Result()->Range(), (EntryRange{100, 103}));
  EXPECT_EQ(Document().UndoCount(), undoCount + 1);  // the range's change, which undo takes back
}

TEST_F(OptimizeCommandsTest, MergeAsksForAThresholdOfZeroToOneHundredStartingAtOne) {
  Show(Photo());
  FillFromPicture(1, 128);
  const PaletteColors before = Document().Colors();
  dialogs_.AnswerInputs({"150", "-1", "12"});
  Run("mnuMergeNear");
  const auto inputs = dialogs_.CallsOf("input");
  ASSERT_EQ(inputs.size(), 3u);  // three thresholds, no range
  EXPECT_EQ(inputs[0].title, "Merge near colours");
  EXPECT_EQ(inputs[0].initialText, "1.0");
  EXPECT_EQ(inputs[2].initialText, "1.0");
  int refusals = 0;
  for (const auto& m : dialogs_.CallsOf("message")) refusals += m.icon == MessageIcon::Warning;
  EXPECT_EQ(refusals, 2);
  EXPECT_TRUE(LastMessage().startsWith("Merged ")) << LastMessage().toStdString();
  EXPECT_NE(Document().Colors(), before);
  for (int i = 128; i < kPaletteSize; ++i) EXPECT_EQ(Document().GetEntryColor(i), kOutside);
  ExpectOneUndoStepNamed("Merge near colours", before);
}

TEST_F(OptimizeCommandsTest, ReduceToAGifSizeReachesItAndTheResultWindowShowsThoseEntries) {
  Show(Photo());
  FillFromPicture(1, 256);
  const PaletteColors before = Document().Colors();
  const QImage picture = Main().Picture()->Picture();
  auto gifSize = [&](int first, int last) {
    const std::vector<ColorValue> entries = RangeEntries(Document().Colors(), {first, last});
    return EncodeGif(ReduceImage(picture, entries)).bytes.size();
  };
  const qsizetype start = gifSize(0, 255);
  const qsizetype target = start * 3 / 4;
  ReduceWholeRangeTo(target);
  const EntryRange kept = Main().Result()->Range();
  EXPECT_EQ(kept.first, 0);
  EXPECT_LT(kept.last, 255);
  EXPECT_LE(gifSize(kept.first, kept.last), target);
  for (int i = kept.last + 1; i < kPaletteSize; ++i) EXPECT_EQ(Document().GetEntryColor(i), kBlack);
  ExpectOneUndoStepNamed("Reduce to target", before);
}

// Under the result window's loss budget the target counts the file "Export GIF..." writes with
// it, so fewer entries go: the entries kept would be too many for the exact file. So it does with
// a transparent entry.
TEST_F(OptimizeCommandsTest, UnderALossBudgetAGifSizeTargetCountsTheBudgetedFile) {
  Show(Photo());
  for (const int transparent : {TransparencyRule::kNone, 0}) {
    FillFromPicture(1, 256);
    Document().SetTransparentEntry(
        transparent == TransparencyRule::kNone ? ResultSettings::kNoTransparentEntry : transparent);
    auto gifSize = [&](EntryRange range, double budget) {
      return EncodeImageGif(Main().Picture()->Picture(), RangeEntries(Document().Colors(), range),
                            budget, 0, TransparencyRule{transparent, {}})
          .bytes.size();
    };
    const qsizetype target = gifSize({0, 255}, 10) * 9 / 10;
    Main().Result()->SetBudget(10);
    ReduceWholeRangeTo(target);
    const EntryRange kept = Main().Result()->Range();
    EXPECT_LE(gifSize(kept, 10), target) << transparent;
    EXPECT_GT(gifSize(kept, 0), target) << transparent;
  }
}

TEST_F(OptimizeCommandsTest, ATargetBrokenAtTheStartChangesNothingAndSaysSo) {
  Show(Photo());
  FillFromPicture(1, 8);  // eight colours for a photo: most pixels far above 1.0
  const PaletteColors before = Document().Colors();
  Range(1, 8);
  dialogs_.AnswerInputs({"nonsense", "<= 1 %"});
  Run("mnuReduceToTarget");
  EXPECT_TRUE(LastMessage().contains("already broken")) << LastMessage().toStdString();
  EXPECT_TRUE(LastMessage().contains("Nothing changed"));
  EXPECT_EQ(Document().Colors(), before);
  EXPECT_EQ(Document().UndoCount(), undoCount_);
}

// The range's first entry holds the matte colour for the clear pixels and becomes the transparent
// entry; the colours are those of the opaque pixels; all of it is one undo step.
TEST_F(OptimizeCommandsTest, PaletteFromPictureReservesTheFirstEntryForClearPixels) {
  Show(ClearBands());
  const PaletteColors before = Document().Colors();
  Range(11, 20);
  Run("mnuPaletteFromPicture");
  const ColorValue expected[] = {kWhite, kRed, kWhite, kGreen, kBlack};  // no blue: it is clear
  for (int k = 0; k < 5; ++k) EXPECT_EQ(Document().GetEntryColor(10 + k), expected[k]) << k;
  EXPECT_EQ(Document().TransparentEntry(), 10);
  EXPECT_TRUE(LastMessage().startsWith("The picture has 3 colours")) << LastMessage().toStdString();
  EXPECT_TRUE(LastMessage().contains("Entry 11 is kept as the transparent entry."));
  ExpectOneUndoStepNamed("Palette from picture", before);
  EXPECT_EQ(Document().TransparentEntry(), ResultSettings::kNoTransparentEntry);
}

// Remove, merge and reduce never remove, move or merge the transparent entry, and say it stays.
TEST_F(OptimizeCommandsTest, TheTransparentEntryOutlivesEveryRangeCommand) {
  Show(ClearBands());
  const struct {
    const char* item;
    QStringList answers;
  } commands[] = {
      {"mnuRemoveUnused", {}}, {"mnuMergeNear", {"100"}}, {"mnuReduceToTarget", {"<= 100 %"}}};
  for (const auto& command : commands) {
    const ColorValue entries[] = {kRed, 0x808080, kWhite, kGreen, kRed, kWhite};
    for (int k = 0; k < 6; ++k) Document().SetEntryColor(100 + k, entries[k]);
    Range(101, 106);
    Document().SetTransparentEntry(102);
    dialogs_.AnswerInputs(command.answers);
    Run(command.item);
    EXPECT_EQ(Document().GetEntryColor(102), kWhite) << command.item;
    EXPECT_EQ(Document().TransparentEntry(), 102) << command.item;
    EXPECT_TRUE(Main().Result()->Range().first <= 102 && Main().Result()->Range().last >= 102)
        << command.item;
    EXPECT_TRUE(LastMessage().contains("Entry 103 is kept as the transparent entry."))
        << command.item << ": " << LastMessage().toStdString();
  }
}

// A real picture of the shared corpus: 64 colours from it, each one of the picture's own.
TEST_F(OptimizeCommandsTest, PaletteFromARealPicture) {
  const QString path = CorpusPath(QStringLiteral("png/1j01-palettes__db32_v1_pal64x32.png"));
  if (!QFileInfo::exists(path))
    GTEST_SKIP() << "the shared corpus is not there: " << path.toStdString();
  QImage picture(path);
  ASSERT_FALSE(picture.isNull());
  picture = picture.convertToFormat(QImage::Format_RGB32);
  Show(picture);
  Range(1, 256);
  Run("mnuPaletteFromPicture");
  const EntryRange kept = Main().Result()->Range();
  EXPECT_GT(kept.Count(), 1);
  for (int i = kept.first; i <= kept.last; ++i) {
    bool found = false;
    for (int y = 0; y < picture.height() && !found; ++y)
      for (int x = 0; x < picture.width() && !found; ++x)
        found = FromRgbPixel(picture.pixel(x, y)) == Document().GetEntryColor(i);
    EXPECT_TRUE(found) << i;
  }
}

}  // namespace
}  // namespace tavlo::testing
