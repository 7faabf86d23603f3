// The mouse on the swatches of the running palette window: events go through the window system's
// door (the palette window's QWindow), so grabs and double-click detection are Qt's own.
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QToolTip>
#include <QWindow>

#include "palette_model/palette_document.h"
#include "palette_window/palette_window.h"
#include "palette_window/swatch_grid.h"
#include "support/app_fixture.h"
#include "support/named_colors.h"

namespace tavlo::testing {
namespace {

QColor Shown(ColorValue c) {
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

class SwatchGestureTest : public AppFixture {
 protected:
  void SetUp() override {
    StartApp();
    grid_ = Palette().Swatches();
    window_ = Palette().windowHandle();
    ASSERT_TRUE(window_);
  }

  // A point of the palette window's client area: the centre of swatch i, or of another element.
  QPoint At(int i) { return grid_->mapTo(&Palette(), SwatchGrid::SwatchRect(i).center()); }
  QPoint AtElement(const char* name) {
    auto* element = Palette().findChild<QWidget*>(QString::fromLatin1(name));
    return element->mapTo(&Palette(), element->rect().center());
  }

  void Click(int i, Qt::MouseButton button, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::mouseClick(window_, button, mods, At(i));
  }
  // Press, release, second press (delivered as the double-click), release.
  void DoubleClick(int i) { QTest::mouseDClick(window_, Qt::LeftButton, Qt::NoModifier, At(i)); }
  void CtrlDrag(int from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(window_, button, Qt::ControlModifier, At(from));
    QTest::mouseMove(window_, to);
    dragCursorShown_ = QGuiApplication::overrideCursor() != nullptr &&
                       !QGuiApplication::overrideCursor()->pixmap().isNull();
    QTest::mouseRelease(window_, button, Qt::ControlModifier, to);
  }

  // The four lines of the info panel: hex, red, green, blue.
  QStringList Panel() {
    QStringList lines = {Palette().findChild<QLabel*>("lblHTML")->text(), {}, {}, {}};
    for (QLabel* label : Palette().findChildren<QLabel*>("lblRGB"))
      lines[1 + label->property("index").toInt()] = label->text();
    return lines;
  }

  // Exactly one framed swatch, at `index`.
  void ExpectOnlyFrameOn(int index) {
    for (int i = 0; i < kPaletteSize; ++i)
      EXPECT_EQ(Document().SelectionFrameShown(i), i == index) << i;
  }

  SwatchGrid* grid_ = nullptr;
  QWindow* window_ = nullptr;
  bool dragCursorShown_ = false;
};

const QStringList kBlackPanel = {"000000", "  0 00", "  0 00", "  0 00"};
const QStringList kRedPanel = {"FF0000", "255 FF", "  0 00", "  0 00"};

TEST_F(SwatchGestureTest, LeftClickSelectsAndShowsTheEntry) {
  Document().SetEntryColor(5, kRed);
  Click(5, Qt::LeftButton);
  EXPECT_EQ(Document().SelectedEntry(), 5);
  ExpectOnlyFrameOn(5);
  EXPECT_EQ(Palette().CurrentColorShown(), Shown(kRed));
  EXPECT_EQ(Panel(), kRedPanel);
}

TEST_F(SwatchGestureTest, PressingTheSelectedEntryAgainRefreshesOnlyThePanel) {
  Document().SetEntryColor(5, kRed);
  Click(5, Qt::LeftButton);
  Document().SetEntryColor(5, kWhite);
  Click(5, Qt::LeftButton);
  EXPECT_EQ(Panel(), (QStringList{"FFFFFF", "255 FF", "255 FF", "255 FF"}));
  EXPECT_EQ(Palette().CurrentColorShown(), Shown(kRed));
  ExpectOnlyFrameOn(5);
}

TEST_F(SwatchGestureTest, RightAndMiddleClickSelectAndClearToBlack) {
  Document().SetEntryColor(7, kBlue);
  Click(7, Qt::RightButton);
  EXPECT_EQ(Document().GetEntryColor(7), kBlack);
  EXPECT_EQ(Document().SelectedEntry(), 7);
  ExpectOnlyFrameOn(7);
  EXPECT_EQ(Palette().CurrentColorShown(), Shown(kBlack));
  EXPECT_EQ(Panel(), kBlackPanel);

  // The selected entry itself: cleared, and it keeps its frame.
  Document().SetEntryColor(7, kGreen);
  Click(7, Qt::MiddleButton);
  EXPECT_EQ(Document().GetEntryColor(7), kBlack);
  ExpectOnlyFrameOn(7);
  EXPECT_EQ(Document().SelectedEntry(), 7);

  Document().SetEntryColor(8, kGreen);
  Click(8, Qt::MiddleButton);
  EXPECT_EQ(Document().GetEntryColor(8), kBlack);
  ExpectOnlyFrameOn(8);
}

TEST_F(SwatchGestureTest, DoubleClickEditsWithoutRefreshingTheDisplays) {
  Document().SetEntryColor(9, kRed);
  dialogs_.AnswerColor(kGreen);
  DoubleClick(9);
  EXPECT_EQ(Document().GetEntryColor(9), kGreen);
  const auto calls = dialogs_.CallsOf("color");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].color, kRed);
  // The first click selected the entry; the edit left both displays on the old colour.
  EXPECT_EQ(Document().SelectedEntry(), 9);
  ExpectOnlyFrameOn(9);
  EXPECT_EQ(Palette().CurrentColorShown(), Shown(kRed));
  EXPECT_EQ(Panel(), kRedPanel);
  // The next press shows the new colour in the panel only.
  Click(9, Qt::LeftButton);
  EXPECT_EQ(Panel(), (QStringList{"00FF00", "  0 00", "255 FF", "  0 00"}));
  EXPECT_EQ(Palette().CurrentColorShown(), Shown(kRed));
}

TEST_F(SwatchGestureTest, CancelledEditChangesNothing) {
  Document().SetEntryColor(9, kRed);
  dialogs_.AnswerColor(std::nullopt);
  DoubleClick(9);
  EXPECT_EQ(Document().GetEntryColor(9), kRed);
  EXPECT_EQ(Document().SelectedEntry(), 9);
  EXPECT_TRUE(dialogs_.AllAnswersUsed());
}

TEST_F(SwatchGestureTest, QuickClicksOnNeighbouringSwatchesDoNotEdit) {
  // The last pixel of swatch 1 and the first of swatch 2 lie within double-click distance, so
  // the window system reports the second press as a double-click (sent here as it arrives).
  const QPoint end1 = SwatchGrid::SwatchRect(1).topRight();
  const QPoint start2 = SwatchGrid::SwatchRect(2).topLeft();
  Document().SetEntryColor(2, kRed);
  QTest::mouseClick(grid_, Qt::LeftButton, Qt::NoModifier, end1);
  QTest::mouseDClick(grid_, Qt::LeftButton, Qt::NoModifier, start2);
  QTest::mouseRelease(grid_, Qt::LeftButton, Qt::NoModifier, start2);
  EXPECT_TRUE(dialogs_.CallsOf("color").empty());
  EXPECT_EQ(Document().SelectedEntry(), 2);
  EXPECT_EQ(Palette().CurrentColorShown(), Shown(kRed));
}

TEST_F(SwatchGestureTest, CtrlDragSwapsTwoEntriesAndLeavesTheSelectionAlone) {
  Document().SetEntryColor(3, kRed);
  Document().SetEntryColor(200, kGreen);
  Document().SetEntryColor(40, kWhite);
  Click(40, Qt::LeftButton);
  CtrlDrag(3, At(200));
  EXPECT_TRUE(dragCursorShown_);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(Document().GetEntryColor(3), kGreen);
  EXPECT_EQ(Document().GetEntryColor(200), kRed);
  EXPECT_EQ(Palette().DragSourceEntry(), 3);
  EXPECT_EQ(Document().SelectedEntry(), 40);
  ExpectOnlyFrameOn(40);
  EXPECT_EQ(Palette().CurrentColorShown(), Shown(kWhite));
  EXPECT_EQ(Panel(), (QStringList{"FFFFFF", "255 FF", "255 FF", "255 FF"}));

  // Any button drags; the selected entry may take part and the display keeps its old colour.
  CtrlDrag(40, At(3), Qt::RightButton);
  EXPECT_EQ(Document().GetEntryColor(40), kGreen);
  EXPECT_EQ(Document().GetEntryColor(3), kWhite);
  EXPECT_EQ(Palette().CurrentColorShown(), Shown(kWhite));
  ExpectOnlyFrameOn(40);

  // Onto itself: nothing changes.
  const PaletteColors before = Document().Colors();
  CtrlDrag(3, At(3), Qt::MiddleButton);
  EXPECT_EQ(Document().Colors(), before);
}

TEST_F(SwatchGestureTest, ReleasingADragAnywhereButOnASwatchDoesNothing) {
  Document().SetEntryColor(3, kRed);
  Document().SetEntryColor(4, kBlue);
  const PaletteColors before = Document().Colors();
  const QPoint gap = grid_->mapTo(&Palette(), SwatchGrid::SwatchRect(4).topLeft() - QPoint(1, 1));
  for (QPoint outside : {AtElement("lblHTML"), AtElement("picZoom"), AtElement("lblColor"), gap,
                         QPoint(Palette().width() - 2, Palette().height() - 2)}) {
    CtrlDrag(3, outside);
    EXPECT_TRUE(dragCursorShown_);
    EXPECT_FALSE(grid_->Dragging());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Document().Colors(), before) << outside.x() << "," << outside.y();
  }
  EXPECT_EQ(Document().SelectedEntry(), 0);

  // Over another window: the release still ends the drag in the palette window, on no swatch.
  Palette().move(Main().frameGeometry().right() + 20, 0);
  QApplication::processEvents();
  QWindow* mainWindow = Main().windowHandle();
  ASSERT_FALSE(Palette().frameGeometry().contains(mainWindow->mapToGlobal(QPoint(10, 60))));
  QTest::mousePress(window_, Qt::LeftButton, Qt::ControlModifier, At(3));
  QTest::mouseRelease(mainWindow, Qt::LeftButton, Qt::ControlModifier, QPoint(10, 60));
  EXPECT_EQ(Document().Colors(), before);
  // Should that release have been lost, the next plain press ends the drag and works as usual.
  if (grid_->Dragging()) ADD_FAILURE() << "release over the main window did not end the drag";
  Click(4, Qt::LeftButton);
  EXPECT_FALSE(grid_->Dragging());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(Document().SelectedEntry(), 4);
}

TEST_F(SwatchGestureTest, CtrlWithShiftOrAltIsAnOrdinaryPress) {
  Document().SetEntryColor(4, kRed);
  QTest::mousePress(window_, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, At(4));
  EXPECT_FALSE(grid_->Dragging());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  QTest::mouseRelease(window_, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, At(4));
  EXPECT_EQ(Document().SelectedEntry(), 4);
  ExpectOnlyFrameOn(4);
  EXPECT_EQ(Palette().CurrentColorShown(), Shown(kRed));
  EXPECT_EQ(Panel(), kRedPanel);

  Document().SetEntryColor(6, kRed);
  Click(6, Qt::RightButton, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(Document().GetEntryColor(6), kBlack);
  EXPECT_EQ(Document().SelectedEntry(), 6);
}

TEST_F(SwatchGestureTest, TooltipNamesTheEntryOnTwoLines) {
  Document().SetEntryColor(0, kRed);
  Document().SetEntryColor(255, kWhite);
  QTest::mouseMove(window_, At(0));
  EXPECT_EQ(grid_->toolTip(), QStringLiteral("n: 1\r\n#: FF0000"));
  QTest::mouseMove(window_, At(255));
  EXPECT_EQ(grid_->toolTip(), QStringLiteral("n: 256\r\n#: FFFFFF"));

  // The colour changed under a resting pointer: the tip shows it as it is when the tip comes.
  Document().SetEntryColor(255, kBlue);
  const QPoint local = SwatchGrid::SwatchRect(255).center();
  QHelpEvent help(QEvent::ToolTip, local, grid_->mapToGlobal(local));
  QApplication::sendEvent(grid_, &help);
  EXPECT_EQ(grid_->toolTip(), QStringLiteral("n: 256\r\n#: 0000FF"));
  ASSERT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), QStringLiteral("n: 256\n#: 0000FF"));
  auto* tip = qobject_cast<QLabel*>([] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->inherits("QTipLabel") && w->isVisible()) return w;
    return static_cast<QWidget*>(nullptr);
  }());
  ASSERT_TRUE(tip);
  EXPECT_GE(tip->sizeHint().height(), 2 * tip->fontMetrics().height());
  QToolTip::hideText();
}

// Rewriting the whole palette paints the grid once, on the next turn of the event loop.
TEST_F(SwatchGestureTest, ManyEntryChangesRepaintOnce) {
  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) ++paints;
      return false;
    }
  } counter;
  QApplication::processEvents();
  grid_->installEventFilter(&counter);
  for (int i = 0; i < kPaletteSize; ++i) Document().SetEntryColor(i, MakeColor(i, 255 - i, 7));
  EXPECT_EQ(counter.paints, 0);
  QApplication::processEvents();
  EXPECT_EQ(counter.paints, 1);
  grid_->removeEventFilter(&counter);
}

}  // namespace
}  // namespace tavlo::testing
