// The comparison view in the result window, driven as a user does: what each mode shows is the
// picture or the decoded exported file pixel for pixel, and it never shows an older file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>
#include <QWheelEvent>
#include <set>

#include "color_science/ciede2000.h"
#include "color_science/cielab.h"
#include "palette_model/palette_document.h"
#include "result/comparison_view.h"
#include "result/result_window.h"
#include "slow_worker.h"
#include "support/picture_decoding.h"

namespace tavlo::testing {
namespace {

using Mode = ComparisonCanvas::Mode;

// A smooth picture of 100 x 70 whose colours are none of the palette's, so that the picture and
// the file differ at every pixel.
QImage Picture() {
  QImage picture(100, 70, QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      picture.setPixel(x, y, qRgb(60 + x, 80 + y * 2, 140 - x / 2 + (x * y) % 7));
  return picture;
}

class ComparisonViewTest : public ::testing::Test {
 protected:
  explicit ComparisonViewTest(ResultFunction compute = {})
      : window_(nullptr, document_, std::move(compute)) {
    window_.Computer().SetCoalesceDelay(0);
    const ColorValue entries[] = {MakeColor(70, 90, 130), MakeColor(120, 160, 110),
                                  MakeColor(150, 200, 100), MakeColor(90, 140, 125)};
    for (int i = 0; i < 4; ++i) document_.SetEntryColor(i, entries[i]);
    document_.SetWorkingRange({0, 3});
    window_.SetPicture(picture_);
    window_.resize(640, 760);
  }

  ComparisonCanvas& Canvas() { return window_.Comparison().Canvas(); }
  void ShowAndWait() {
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_.CurrentFigures() != nullptr; }, 20000));
  }
  void Press(const char* button) {
    window_.findChild<QAbstractButton*>(QString::fromLatin1(button))->click();
  }
  QImage Frame() { return Canvas().grab().toImage().convertToFormat(QImage::Format_RGB32); }
  // The colour of the decoded exported file at picture pixel `p`.
  QRgb FileColor(QPoint p) {
    const DecodedGif gif = DecodeGifWithGiflib(window_.CurrentFigures()->gif);
    return ToRgbPixel(gif.globalTable[gif.indexes[size_t(p.y()) * gif.width + p.x()]]) | 0xFF000000;
  }
  // Whether every view pixel over the picture shows what `expected` says of its picture pixel.
  // `skip` leaves out view pixels under the view's own marks (the divider, a caption).
  template <typename Expected>
  void ExpectFrame(const QImage& frame, Expected expected, QRect skip = {}) {
    const DecodedGif gif = DecodeGifWithGiflib(window_.CurrentFigures()->gif);
    int checked = 0;
    for (int y = 0; y < frame.height(); y += 3)
      for (int x = 0; x < frame.width(); x += 3) {
        if (skip.contains(x, y)) continue;
        const QPoint p = Canvas().PixelAt(QPointF(x + 0.5, y + 0.5));
        if (!QRect(QPoint(), picture_.size()).contains(p)) continue;
        const QRgb file =
            ToRgbPixel(gif.globalTable[gif.indexes[size_t(p.y()) * gif.width + p.x()]]) |
            0xFF000000;
        ASSERT_EQ(frame.pixel(x, y), expected(x, p, file)) << x << ", " << y;
        ++checked;
      }
    EXPECT_GT(checked, 100);
  }

  QImage picture_ = Picture();
  PaletteDocument document_;
  ResultWindow window_;
};

TEST_F(ComparisonViewTest, ResultShowsTheDecodedExportPixelSquaresAtEachZoom) {
  for (const double budget : {0.0, 4.0}) {
    window_.SetBudget(budget);
    ShowAndWait();
    Press("optResult");
    for (const int zoom : {1, 4}) {
      SCOPED_TRACE(zoom);
      Canvas().SetZoom(zoom);
      Canvas().CentreOn({50, 35});
      ExpectFrame(Frame(), [](int, QPoint, QRgb file) { return file; });
      // A picture pixel is a square of zoom x zoom view pixels.
      const QPoint corner = Canvas().PixelAt(QPointF(0.5, 0.5));
      EXPECT_EQ(Canvas().PixelAt(QPointF(4 * zoom + 0.5, 4 * zoom + 0.5)), corner + QPoint(4, 4));
    }
  }
}

TEST_F(ComparisonViewTest, CtrlWheelStepsTheZoomAboutThePointer) {
  ShowAndWait();
  Canvas().SetZoom(8);
  Canvas().CentreOn({50, 35});
  const QPointF at(100.5, 60.5);
  const QPoint under = Canvas().PixelAt(at);
  auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    QWheelEvent event(at, Canvas().mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&Canvas(), &event);
  };
  wheel(120);
  EXPECT_EQ(Canvas().Zoom(), 16);
  EXPECT_EQ(Canvas().PixelAt(at), under);
  wheel(120);  // the largest step stays
  EXPECT_EQ(Canvas().Zoom(), 16);
  wheel(-120, Qt::NoModifier);  // without Ctrl the wheel is not the zoom's
  EXPECT_EQ(Canvas().Zoom(), 16);
  for (int i = 0; i < 5; ++i) wheel(-120);
  EXPECT_EQ(Canvas().Zoom(), 1);
}

TEST_F(ComparisonViewTest, SplitShowsThePictureLeftOfTheDividerAfterDragAndArrowKeys) {
  ShowAndWait();
  Press("optSplit");
  Canvas().SetZoom(2);
  const int middle = Canvas().width() / 2;
  QTest::mousePress(&Canvas(), Qt::LeftButton, {}, QPoint(middle, 20));
  QTest::mouseMove(&Canvas(), QPoint(middle - 60, 20));
  QTest::mouseRelease(&Canvas(), Qt::LeftButton, {}, QPoint(middle - 60, 20));
  EXPECT_EQ(Canvas().Divider(), middle - 60);
  for (int i = 0; i < 3; ++i) QTest::keyClick(&Canvas(), Qt::Key_Right);
  const int divider = middle - 57;
  EXPECT_EQ(Canvas().Divider(), divider);
  ExpectFrame(
      Frame(), [&](int x, QPoint p, QRgb file) { return x < divider ? picture_.pixel(p) : file; },
      QRect(divider, 0, 1, Canvas().height()));  // the divider's own line
}

TEST_F(ComparisonViewTest, HoldingSpaceShowsThePictureInAnyMode) {
  ShowAndWait();
  Press("optLossMap");
  const QImage lossMap = Frame();
  QTest::keyPress(&Canvas(), Qt::Key_Space);
  ExpectFrame(
      Frame(), [&](int, QPoint p, QRgb) { return picture_.pixel(p); },
      QRect(0, 0, Canvas().width(), 24));  // the caption "Original"
  QTest::keyRelease(&Canvas(), Qt::Key_Space);
  EXPECT_EQ(Canvas().GetMode(), Mode::kLossMap);
  EXPECT_EQ(Frame(), lossMap);
}

TEST_F(ComparisonViewTest, ReadoutDescribesThePixelUnderThePointer) {
  ShowAndWait();
  for (const int zoom : {1, 8}) {
    SCOPED_TRACE(zoom);
    Canvas().SetZoom(zoom);
    const QPoint p(37, 21);
    Canvas().CentreOn(p);
    QPoint at(-1, -1);  // a view pixel over picture pixel p
    for (int y = 0; y < Canvas().height() && at.x() < 0; ++y)
      for (int x = 0; x < Canvas().width() && at.x() < 0; ++x)
        if (Canvas().PixelAt(QPointF(x + 0.5, y + 0.5)) == p) at = QPoint(x, y);
    ASSERT_GE(at.x(), 0);
    QMouseEvent move(QEvent::MouseMove, QPointF(at), Canvas().mapToGlobal(QPointF(at)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&Canvas(), &move);
    const QString text = window_.findChild<QLabel*>(QStringLiteral("lblReadout"))->text();
    const ResultFigures& figures = *window_.CurrentFigures();
    const int written = figures.written[size_t(p.y()) * 100 + p.x()];
    const ColorValue original = FromRgbPixel(picture_.pixel(p));
    const ColorValue entry = document_.Colors()[size_t(written)];
    auto hex = [](ColorValue c) {
      return QStringLiteral("#%1").arg(ToRgbPixel(c) & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
    };
    EXPECT_TRUE(text.contains(QStringLiteral("x 37, y 21"))) << text.toStdString();
    EXPECT_TRUE(text.contains(hex(original))) << text.toStdString();
    EXPECT_EQ(FromRgbPixel(FileColor(p)), entry);
    EXPECT_TRUE(text.contains(QStringLiteral("entry %1 %2").arg(written + 1).arg(hex(entry))))
        << text.toStdString();
    const double loss = Ciede2000(LabFromColor(original), LabFromColor(entry));
    EXPECT_TRUE(text.contains(QStringLiteral("\u0394E %1").arg(loss, 0, 'f', 2)))
        << text.toStdString();
  }
}

TEST_F(ComparisonViewTest, NextWorstPlaceVisitsBlocksByFallingMeanLossAndRestartsOnChange) {
  ShowAndWait();
  Press("optLossMap");
  // Each visit shows a block of the picture; returns it.
  auto visit = [&] {
    Press("cmdNextWorst");
    const QRect block = window_.Comparison().Visited();
    const QRect shown(Canvas().PixelAt(QPointF(0.5, 0.5)),
                      Canvas().PixelAt(QPointF(Canvas().width() - 0.5, Canvas().height() - 0.5)));
    EXPECT_TRUE(shown.contains(block.center()));
    return block;
  };
  auto meanOf = [&](QRect block) {
    const std::vector<float>& loss = window_.CurrentFigures()->pixelLoss;
    double sum = 0;
    for (int y = block.top(); y <= block.bottom(); ++y)
      for (int x = block.left(); x <= block.right(); ++x) sum += loss[size_t(y) * 100 + x];
    return sum / (block.width() * block.height());
  };
  std::set<std::pair<int, int>> blocks;
  double before = 1e9;
  QRect first;
  for (int i = 0; i < 12; ++i) {  // 4 x 3 blocks
    const QRect block = visit();
    if (i == 0) first = block;
    EXPECT_TRUE(block.x() % 32 == 0 && block.y() % 32 == 0);
    EXPECT_LE(meanOf(block), before + 1e-9) << i;
    before = meanOf(block);
    blocks.insert({block.x(), block.y()});
  }
  EXPECT_EQ(blocks.size(), 12u);
  EXPECT_EQ(Canvas().Zoom(), 8);
  // A change of the result starts again from the worst place.
  visit();
  document_.SetEntryColor(3, MakeColor(91, 140, 125));
  ASSERT_TRUE(QTest::qWaitFor([&] { return window_.CurrentFigures() != nullptr; }, 20000));
  EXPECT_EQ(visit(), first);
}

// The slow worker is made before the window and outlives its jobs.
struct WithSlowWorker {
  SlowWorker worker;
};

class ComparisonViewSlowTest : private WithSlowWorker, public ComparisonViewTest {
 protected:
  ComparisonViewSlowTest() : ComparisonViewTest(worker.Function()) {}
  ~ComparisonViewSlowTest() override {
    for (int i = 0; i < 8; ++i) worker.ReleaseOne();
  }
  SlowWorker* worker_ = &worker;
};

TEST_F(ComparisonViewSlowTest, NeverShowsTheFileOfAnOlderPalette) {
  document_.SetEntryColor(0, 5);  // the slow worker writes every pixel as entry 1
  window_.show();
  Press("optResult");
  ASSERT_TRUE(worker_->WaitForStarts(1));
  worker_->ReleaseOne();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window_.CurrentFigures() != nullptr; }));
  const QRgb older = ToRgbPixel(5) | 0xFF000000;
  EXPECT_EQ(Canvas().ColorOf({10, 10}, Mode::kResult), older);

  document_.SetEntryColor(0, 7);
  ASSERT_TRUE(worker_->WaitForStarts(2));
  for (const Mode mode : {Mode::kResult, Mode::kSplit, Mode::kLossMap}) {
    Canvas().SetMode(mode);
    const QImage frame = Frame();
    for (int y = 0; y < frame.height(); y += 2)
      for (int x = 0; x < frame.width(); x += 2) ASSERT_NE(frame.pixel(x, y), older);
  }
  worker_->ReleaseOne();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window_.CurrentFigures() != nullptr; }));
  Canvas().SetMode(Mode::kResult);
  EXPECT_EQ(Frame().pixel(Canvas().rect().center()), ToRgbPixel(7) | 0xFF000000);
}

}  // namespace
}  // namespace tavlo::testing
