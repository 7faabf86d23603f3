// Pictures larger than the screen: the main window fits the screen, the picture scrolls, and
// picking, the lens, the preview and its export keep to the picture's own pixels.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>

#include "app/main_window.h"
#include "palette_window/palette_window.h"
#include "palette_window/zoom_lens.h"
#include "picture/lens_image.h"
#include "picture_view/picture_area.h"
#include "support/app_fixture.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

const QRect kSmallScreen(1600, 0, 800, 600);
constexpr QRgb kBottomRight = 0xFF010203u;

// Pixel (x, y) has red x mod 256, green y mod 256 and blue the 256-pixel block it lies in; the
// bottom-right pixel is 010203, found nowhere else.
QImage Blocks(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x % 256, y % 256, 16 + x / 256));
  image.setPixel(width - 1, height - 1, kBottomRight);
  return image;
}

class BigPictureTest : public AppFixture {
 protected:
  void SetUp() override {
    if (QGuiApplication::screens().size() != 2 ||
        QGuiApplication::screens()[1]->availableGeometry() != kSmallScreen)
      GTEST_SKIP() << "needs the two screens of tests/support/screens.json";
    // The main window on the 800 x 600 screen.
    WriteBytes(SettingsPath(), "[frmMain]\r\nTop=0\r\nLeft=24000\r\n");
    StartApp();
  }

  void Open(const QImage& picture) {
    const QString path = TempPath(QStringLiteral("big.png"));
    ASSERT_TRUE(picture.save(path, "PNG"));
    OpenPicture(path);
    QApplication::processEvents();
    ASSERT_EQ(Area()->Picture().size(), picture.size());
  }

  PictureArea* Area() { return Main().Picture(); }
  QScrollBar* Across() { return Area()->horizontalScrollBar(); }
  QScrollBar* Down() { return Area()->verticalScrollBar(); }

  // The widget of the main window under a point of the picture area's view, and that point in
  // the widget's own coordinates: what a real click there reaches.
  std::pair<QWidget*, QPoint> UnderView(QPoint inView) {
    const QPoint inWindow = Area()->viewport()->mapTo(&Main(), inView);
    QWidget* target = Main().childAt(inWindow);
    return {target, target ? target->mapFrom(&Main(), inWindow) : QPoint()};
  }

  void Preview() {
    dialogs_.AnswerInputs({QStringLiteral("1"), QStringLiteral("256")});
    Main().findChild<QAction*>(QStringLiteral("mnuTest"))->trigger();
    QApplication::processEvents();
  }
};

TEST_F(BigPictureTest, TheWindowFitsItsScreenAndThePictureScrolls) {
  Open(Blocks(3000, 2000));
  EXPECT_TRUE(kSmallScreen.contains(Main().frameGeometry()))
      << Main().frameGeometry().x() << "," << Main().frameGeometry().y() << " "
      << Main().frameGeometry().width() << "x" << Main().frameGeometry().height();
  // As large as the screen allows.
  EXPECT_EQ(Main().frameGeometry().size(), kSmallScreen.size());
  EXPECT_EQ(Main().centralWidget(), Area());
  EXPECT_TRUE(Across()->isVisible());
  EXPECT_TRUE(Down()->isVisible());
  EXPECT_EQ(Area()->Canvas()->size(), QSize(3000, 2000));
  // A small picture dropped onto the scrolled view fits again exactly, from its top-left.
  Across()->setValue(Across()->maximum());
  Down()->setValue(Down()->maximum());
  const QString small = TempPath(QStringLiteral("small.png"));
  ASSERT_TRUE(Blocks(100, 50).save(small, "PNG"));
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(small)});
  const QPointF at(400, 300);
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Area()->viewport(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Area()->viewport(), &drop);
  QApplication::processEvents();
  EXPECT_EQ(Area()->Picture().size(), QSize(100, 50));
  EXPECT_EQ(Main().centralWidget()->size(), ClientFor(QSize(104, 54)));
  EXPECT_EQ(Area()->Canvas()->mapTo(Area(), QPoint(0, 0)), QPoint(2, 2));
  EXPECT_FALSE(Across()->isVisible());
  EXPECT_FALSE(Down()->isVisible());
}

TEST_F(BigPictureTest, APictureTooTallOnlyScrollsDownAndKeepsItsWidth) {
  Open(Blocks(500, 2000));
  EXPECT_TRUE(kSmallScreen.contains(Main().frameGeometry()));
  EXPECT_TRUE(Down()->isVisible());
  EXPECT_FALSE(Across()->isVisible());
  EXPECT_EQ(Area()->viewport()->width(), 500);
}

TEST_F(BigPictureTest, APickAfterScrollingToTheBottomRightTakesTheBottomRightPixel) {
  const QImage picture = Blocks(3000, 2000);
  Open(picture);
  Across()->setValue(Across()->maximum());
  Down()->setValue(Down()->maximum());
  QApplication::processEvents();

  const QPoint corner = Area()->viewport()->rect().bottomRight();
  const auto [target, at] = UnderView(corner);
  ASSERT_EQ(target, Area()->Canvas());
  EXPECT_EQ(at, QPoint(2999, 1999));
  QTest::mouseMove(target, at);
  EXPECT_EQ(Palette().Lens()->Image(), DrawLens(picture, QPoint(2999, 1999), 5));
  QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_EQ(Document().GetEntryColor(0), MakeColor(1, 2, 3));
  EXPECT_EQ(Document().SelectedEntry(), 1);

  // Half way back: the view's top-left shows a pixel in the middle of the picture.
  Across()->setValue(1000);
  Down()->setValue(700);
  QApplication::processEvents();
  const auto [middle, middleAt] = UnderView(QPoint(0, 0));
  ASSERT_EQ(middle, Area()->Canvas());
  EXPECT_EQ(middleAt, QPoint(1000, 700));
  QTest::mouseClick(middle, Qt::LeftButton, Qt::NoModifier, middleAt);
  EXPECT_EQ(Document().GetEntryColor(1), MakeColor(1000 % 256, 700 % 256, 16 + 1000 / 256));
}

TEST_F(BigPictureTest, TheWheelScrollsDownAndWithShiftAcross) {
  Open(Blocks(3000, 2000));
  const auto turn = [this](Qt::KeyboardModifiers modifiers) {
    const QPointF at(50, 50);
    QWheelEvent wheel(at, Area()->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Area()->viewport(), &wheel);
  };
  turn(Qt::NoModifier);
  EXPECT_GT(Down()->value(), 0);
  EXPECT_EQ(Across()->value(), 0);
  const int down = Down()->value();
  turn(Qt::ShiftModifier);
  EXPECT_EQ(Down()->value(), down);
  EXPECT_EQ(Across()->value(), down);  // the same step, sideways
}

TEST_F(BigPictureTest, ThePreviewCoversTheWholePictureScrollsWithItAndExportsItWhole) {
  const QImage picture = Blocks(3000, 2000);
  Open(picture);
  for (int i = 0; i < 256; ++i) Document().SetEntryColor(i, MakeColor(i, i, 255 - i));
  Preview();
  QWidget* preview = Area()->Preview();
  ASSERT_TRUE(preview->isVisible());
  EXPECT_EQ(preview->parentWidget(), Area()->Canvas());  // moves with the picture
  EXPECT_TRUE(preview->geometry().contains(QRect(0, 0, 3000, 2000)));
  EXPECT_EQ(Area()->PreviewImage().size(), QSize(3000, 2000));

  // The wheel still scrolls over the preview, and a right click at the far corner exports.
  Down()->setValue(Down()->maximum());
  Across()->setValue(Across()->maximum());
  QApplication::processEvents();
  const auto [target, at] = UnderView(Area()->viewport()->rect().bottomRight());
  ASSERT_EQ(target, preview);
  const QString file = TempPath(QStringLiteral("whole.bmp"));
  dialogs_.AnswerSave(file);
  QTest::mouseClick(target, Qt::RightButton, Qt::NoModifier, at);
  QImage exported;
  ASSERT_TRUE(exported.loadFromData(ReadBytes(file), "BMP"));
  ASSERT_EQ(exported.size(), QSize(3000, 2000));
  EXPECT_EQ(exported.convertToFormat(QImage::Format_RGB32),
            Area()->PreviewImage().convertToFormat(QImage::Format_RGB32));
}

}  // namespace
}  // namespace tavlo::testing
