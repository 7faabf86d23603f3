// The result window on its own with a deliberately slow worker: while figures are worked out it
// says so and greys the older ones, and it never shows the figures of an older palette.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTableView>

#include "palette_model/palette_document.h"
#include "result/result_texts.h"
#include "result/result_window.h"
#include "slow_worker.h"

namespace tavlo::testing {
namespace {

class ResultWindowTest : public ::testing::Test {
 protected:
  ResultWindowTest() : window_(nullptr, document_, worker_.Function()) {
    window_.Computer().SetCoalesceDelay(0);
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    window_.SetPicture(picture);
    document_.SetWorkingRange({0, 3});
  }
  ~ResultWindowTest() override {
    for (int i = 0; i < 8; ++i) worker_.ReleaseOne();  // let any held job end
  }

  QLabel* Label(const char* name) { return window_.findChild<QLabel*>(QString::fromLatin1(name)); }
  bool FiguresGreyed() {
    return !Label("lblGifSize")->isEnabled() && !Label("lblLoss")->isEnabled() &&
           !window_.findChild<QTableView*>(QStringLiteral("grdUsage"))->isEnabled();
  }

  PaletteDocument document_;
  SlowWorker worker_;
  ResultWindow window_;
};

TEST_F(ResultWindowTest, NeverShowsTheFiguresOfAnOlderPalette) {
  document_.SetEntryColor(0, 5);  // whose figures: a GIF of 5 bytes
  window_.show();
  ASSERT_TRUE(worker_.WaitForStarts(1));
  EXPECT_TRUE(Label("lblStatus")->text().startsWith(QStringLiteral("Working out")));
  EXPECT_TRUE(FiguresGreyed());

  document_.SetEntryColor(0, 7);  // changed again while the first job runs
  worker_.ReleaseOne();
  ASSERT_TRUE(worker_.WaitForStarts(2));
  QApplication::processEvents();
  EXPECT_TRUE(Label("lblStatus")->text().startsWith(QStringLiteral("Working out")));
  EXPECT_TRUE(FiguresGreyed());
  EXPECT_NE(Label("lblGifSize")->text(), ByteCountText(5));
  EXPECT_EQ(window_.CurrentFigures(), nullptr);

  worker_.ReleaseOne();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window_.CurrentFigures() != nullptr; }));
  EXPECT_EQ(Label("lblGifSize")->text(), ByteCountText(7));
  EXPECT_TRUE(Label("lblStatus")->text().isEmpty());
  EXPECT_FALSE(FiguresGreyed());

  // The next result shows its change since this one.
  document_.SetEntryColor(0, 4);
  ASSERT_TRUE(worker_.WaitForStarts(3));
  EXPECT_TRUE(FiguresGreyed());
  worker_.ReleaseOne();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window_.CurrentFigures() != nullptr; }));
  EXPECT_EQ(Label("lblGifSize")->text(), ByteCountText(4));
  EXPECT_EQ(Label("lblGifChange")->text(), QStringLiteral("\u22123 bytes"));
}

TEST_F(ResultWindowTest, ChangesOutsideTheRangeAndWhileHiddenStartNoWork) {
  document_.SetEntryColor(0, 3);
  window_.show();
  ASSERT_TRUE(worker_.WaitForStarts(1));
  worker_.ReleaseOne();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window_.CurrentFigures() != nullptr; }));
  document_.SetEntryColor(200, 9);  // outside entries 1 to 4
  QTest::qWait(30);
  EXPECT_NE(window_.CurrentFigures(), nullptr);
  EXPECT_EQ(worker_.Started().size(), 1u);

  window_.hide();
  document_.SetEntryColor(1, 9);
  QTest::qWait(30);
  EXPECT_EQ(worker_.Started().size(), 1u) << "worked while hidden";
  EXPECT_EQ(window_.CurrentFigures(), nullptr) << "figures of an older palette kept as current";
  window_.show();  // shown again: worked out for the palette as it is now
  ASSERT_TRUE(worker_.WaitForStarts(2));
  worker_.ReleaseOne();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window_.CurrentFigures() != nullptr; }));
}

TEST_F(ResultWindowTest, LongFiguresWrapInsteadOfWideningTheWindow) {
  window_.show();
  const int width = window_.width();
  const QString longText =
      QStringLiteral("mean 1.68, max 22.92; 66.3 % of pixels above 1.0").repeated(4);
  for (const char* name : {"lblLoss", "lblLossChange", "lblBudgetEffect", "lblExact"})
    Label(name)->setText(longText);
  QApplication::processEvents();
  EXPECT_LE(window_.minimumSizeHint().width(), width);
  EXPECT_EQ(window_.width(), width);
}

TEST(ResultTexts, WriteFiguresTheWayTheWindowShowsThem) {
  EXPECT_EQ(ByteCountText(6264418), QStringLiteral("6,264,418 bytes"));
  EXPECT_EQ(ByteChangeText(-1204), QStringLiteral("\u22121,204 bytes"));
  EXPECT_EQ(ByteChangeText(12), QStringLiteral("+12 bytes"));
  EXPECT_EQ(ByteChangeText(0), QStringLiteral("no change"));
  ResultFigures figures;
  figures.tableBits = 7;
  figures.entriesUsed = 67;
  figures.smallerTable = 64;
  figures.aboveSmallerTable = 3;
  EXPECT_EQ(TableText(figures), QStringLiteral("128 entries, 67 used"));
  EXPECT_EQ(TableHintText(figures), QStringLiteral("remove 3 entries to halve the table"));
  figures.meanLoss = 0.5;
  figures.maxLoss = 3.25;
  figures.shareAboveOne = 0.125;
  EXPECT_EQ(LossText(figures), QStringLiteral("mean 0.50, max 3.25; 12.5 % of pixels above 1.0"));
  ResultFigures before = figures;
  before.meanLoss = 0.75;
  EXPECT_EQ(LossChangeText(figures, before),
            QStringLiteral("mean \u22120.25, max 0.00, 0.0 % above 1.0"));
}

}  // namespace
}  // namespace tavlo::testing
