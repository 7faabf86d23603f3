// Colour picking, the zoom lens and the preview, driven with the mouse on the real windows.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QTest>
#include <functional>

#include "app/main_window.h"
#include "palette_model/palette_document.h"
#include "palette_window/palette_window.h"
#include "palette_window/zoom_lens.h"
#include "picture/lens_image.h"
#include "picture/preview.h"
#include "picture_view/picture_area.h"
#include "result/result_window.h"
#include "store/process_state.h"
#include "store/settings_store.h"
#include "support/app_fixture.h"
#include "support/picture_decoding.h"
#include "support/picture_files.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

// A 200 x 60 picture: pixel (x, y) has red x, green y, blue 7; pixel (150, 20) is FF8000.
QImage Gradient() {
  QImage image(200, 60, QImage::Format_RGB32);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x) image.setPixel(x, y, qRgb(x, y, 7));
  image.setPixel(150, 20, qRgb(255, 128, 0));
  return image;
}

class PickingAndPreviewTest : public AppFixture {
 protected:
  void SetUp() override {
    StartApp();
    picturePath_ = TempPath(QStringLiteral("gradient.png"));
    ASSERT_TRUE(Gradient().save(picturePath_, "PNG"));
    OpenPicture(picturePath_);
    ASSERT_EQ(Main().Picture()->Picture().size(), QSize(200, 60));
  }

  QWidget* Canvas() { return Main().Picture()->Canvas(); }
  QWidget* Preview() { return Main().Picture()->Preview(); }

  void MoveTo(QWidget* widget, QPoint at) {
    QTest::mouseMove(widget, at);
    QApplication::processEvents();
  }
  void Click(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(widget, button, Qt::NoModifier, at);
    QApplication::processEvents();
  }

  QString Label(const char* name, int index = 0) {
    for (QLabel* label : Palette().findChildren<QLabel*>(QString::fromLatin1(name)))
      if (label->property("index").toInt() == index) return label->text();
    ADD_FAILURE() << "no label " << name << index;
    return {};
  }

  void Preview(const QString& first, const QString& last) {
    dialogs_.AnswerInputs({first, last});
    Main().findChild<QAction*>(QStringLiteral("mnuTest"))->trigger();
    QApplication::processEvents();
  }

  QString picturePath_;
};

TEST_F(PickingAndPreviewTest, PointerMovesShowTheColorAndTheLens) {
  MoveTo(Canvas(), {150, 20});
  EXPECT_EQ(Palette().CurrentColorShown(), QColor(255, 128, 0));
  EXPECT_EQ(Label("lblHTML"), QStringLiteral("FF8000"));
  EXPECT_EQ(Label("lblRGB", 0), QStringLiteral("255 FF"));
  EXPECT_EQ(Label("lblRGB", 1), QStringLiteral("128 80"));
  EXPECT_EQ(Label("lblRGB", 2), QStringLiteral("  0 00"));

  MoveTo(Canvas(), {100, 40});
  const QImage lens = Palette().Lens()->Image();
  ASSERT_EQ(lens.size(), QSize(100, 100));
  EXPECT_EQ(lens.pixel(5, 5), qRgb(98, 38, 7));
  EXPECT_EQ(lens.pixel(95, 95), qRgb(102, 42, 7));
  EXPECT_EQ(lens.pixel(40, 40), kLensMarker);
  EXPECT_EQ(lens.pixel(60, 60), kLensMarker);
  EXPECT_EQ(Palette().CurrentColorShown(), QColor(100, 40, 7));

  // The zoom menu takes effect at the next move.
  Main().findChild<QAction*>(QStringLiteral("mnu15Pixel"))->trigger();
  MoveTo(Canvas(), {100, 41});
  MoveTo(Canvas(), {100, 40});
  EXPECT_EQ(Palette().Lens()->Image().pixel(0, 0), qRgb(92, 32, 7));
  EXPECT_EQ(Palette().Lens()->Image().pixel(47, 47), kLensMarker);
}

TEST_F(PickingAndPreviewTest, ThreeLeftClicksFillThreeEntriesAndSelectTheFourth) {
  Click(Canvas(), {10, 1});
  Click(Canvas(), {20, 2});
  Click(Canvas(), {30, 3});
  EXPECT_EQ(Document().GetEntryColor(0), MakeColor(10, 1, 7));
  EXPECT_EQ(Document().GetEntryColor(1), MakeColor(20, 2, 7));
  EXPECT_EQ(Document().GetEntryColor(2), MakeColor(30, 3, 7));
  EXPECT_EQ(Document().GetEntryColor(3), 0);
  EXPECT_EQ(Document().SelectedEntry(), 3);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(Document().SelectionFrameShown(i), i == 3) << i;
}

// A picture with transparent parts keeps its alpha, but is shown and picked laid over white.
TEST_F(PickingAndPreviewTest, TransparentPartsAreShownAndPickedAsWhite) {
  QImage logo(4, 2, QImage::Format_ARGB32);
  logo.fill(0x00000000u);
  logo.setPixel(1, 1, 0xFF123456u);
  const QString path = TempPath(QStringLiteral("logo.png"));
  ASSERT_TRUE(logo.save(path, "PNG"));
  OpenPicture(path);
  EXPECT_EQ(Main().Picture()->Source().pixel(0, 0), 0x00000000u);
  EXPECT_EQ(Main().Picture()->Picture().pixel(0, 0), 0xFFFFFFFFu);
  Click(Canvas(), {0, 0});
  Click(Canvas(), {1, 1});
  EXPECT_EQ(Document().GetEntryColor(0), MakeColor(255, 255, 255));
  EXPECT_EQ(Document().GetEntryColor(1), MakeColor(0x12, 0x34, 0x56));
}

TEST_F(PickingAndPreviewTest, PicksStopAtTheEndsOfThePalette) {
  Document().MoveSelectionTo(255);
  Click(Canvas(), {5, 6});
  Click(Canvas(), {7, 8});
  EXPECT_EQ(Document().GetEntryColor(255), MakeColor(7, 8, 7));
  EXPECT_EQ(Document().SelectedEntry(), 255);
  EXPECT_TRUE(Document().SelectionFrameShown(255));

  Document().MoveSelectionTo(0);
  Click(Canvas(), {5, 6}, Qt::RightButton);
  EXPECT_EQ(Document().SelectedEntry(), 0);
  EXPECT_TRUE(Document().SelectionFrameShown(0));

  Document().MoveSelectionTo(7);
  const PaletteColors before = Document().Colors();
  Click(Canvas(), {5, 6}, Qt::RightButton);
  EXPECT_EQ(Document().SelectedEntry(), 6);
  Click(Canvas(), {5, 6}, Qt::MiddleButton);
  EXPECT_EQ(Document().SelectedEntry(), 5);
  EXPECT_TRUE(Document().SelectionFrameShown(5));
  EXPECT_FALSE(Document().SelectionFrameShown(7));
  EXPECT_EQ(Document().Colors(), before);
}

TEST_F(PickingAndPreviewTest, SingleEntryPreviewPaintsEverythingInThatColor) {
  Document().SetEntryColor(4, MakeColor(1, 2, 3));
  Preview(QStringLiteral("5"), QStringLiteral("5"));
  const auto inputs = dialogs_.CallsOf("input");
  ASSERT_EQ(inputs.size(), 2u);
  EXPECT_EQ(inputs[0].title, QStringLiteral("Select starting color"));
  EXPECT_EQ(inputs[1].title, QStringLiteral("Select endingcolor color"));
  ASSERT_TRUE(Preview()->isVisible());
  const QImage preview = Main().Picture()->PreviewImage();
  ASSERT_EQ(preview.size(), QSize(200, 60));
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(preview.pixel(x, y), qRgb(1, 2, 3)) << x << "," << y;
  // The picture itself is untouched and the window did not change size.
  EXPECT_EQ(Main().Picture()->Picture().pixel(150, 20), qRgb(255, 128, 0));
  EXPECT_EQ(Main().centralWidget()->size(), ClientFor(QSize(204, 64)));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(PickingAndPreviewTest, EachPreviewStartsFromThePicture) {
  for (int i = 0; i < 256; ++i) Document().SetEntryColor(i, MakeColor(i, i % 60, 7));
  Preview(QStringLiteral("1"), QStringLiteral("2"));  // black and (1, 1, 7): almost all one
  Preview(QStringLiteral("1"), QStringLiteral("256"));
  const QImage preview = Main().Picture()->PreviewImage();
  // Every pixel (x, y) with x < 256 and y < 60 except the orange one has its own exact entry.
  EXPECT_EQ(preview.pixel(123, 3), qRgb(123, 3, 7));
  EXPECT_EQ(preview.pixel(59, 59), qRgb(59, 59, 7));
  EXPECT_EQ(preview.pixel(199, 19), qRgb(199, 19, 7));

  // Cancel at the first prompt: the preview stays as it was.
  dialogs_.AnswerInput(QString());
  Main().findChild<QAction*>(QStringLiteral("mnuTest"))->trigger();
  EXPECT_TRUE(Preview()->isVisible());
  EXPECT_EQ(Main().Picture()->PreviewImage(), preview);
}

// The preview shown is always the picture reduced to the working range of the palette as it is
// now: after another palette is opened, after an undo and after an Optimize command.
TEST_F(PickingAndPreviewTest, ThePreviewFollowsThePalette) {
  for (int i = 0; i < 256; ++i) Document().SetEntryColor(i, MakeColor(i, i % 60, 7));
  Preview(QStringLiteral("1"), QStringLiteral("64"));
  const QString act = TempPath(QStringLiteral("grey.act"));
  QByteArray grey;
  for (int i = 0; i < kPaletteSize; ++i) grey += QByteArray(3, char(255 - i));
  WriteBytes(act, grey);
  const struct {
    const char* step;
    std::function<void()> run;
  } steps[] = {
      {"open palette", [&] { OpenPalette(act); }},
      {"undo", [&] { Document().Undo(); }},
      {"merge",
       [&] {
         dialogs_.AnswerInputs({QStringLiteral("10")});
         Trigger("mnuMergeNear");
       }},
      {"palette from picture", [&] { Trigger("mnuPaletteFromPicture"); }},
  };
  for (const auto& step : steps) {
    const PaletteColors before = Document().Colors();
    step.run();
    ASSERT_NE(Document().Colors(), before) << step.step;
    ASSERT_TRUE(Preview()->isVisible()) << step.step;
    const QImage expected = MakePreview(Main().Picture()->Picture(),
                                        ColorsOf(Document().Colors(), Document().WorkingRange()));
    const QImage shown = Preview()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.copy(QRect(QPoint(0, 0), expected.size())),
              expected.convertToFormat(QImage::Format_RGB32))
        << step.step;
  }
}

TEST_F(PickingAndPreviewTest, ThePreviewTakesThePointerUntilALeftClickHidesIt) {
  Document().SetEntryColor(0, MakeColor(9, 9, 9));
  MoveTo(Canvas(), {150, 20});
  Preview(QStringLiteral("1"), QStringLiteral("1"));
  MoveTo(Preview(), {10, 10});
  EXPECT_EQ(Label("lblHTML"), QStringLiteral("FF8000"));
  Click(Preview(), {10, 10});
  EXPECT_FALSE(Preview()->isVisible());
  EXPECT_EQ(Document().GetEntryColor(0), MakeColor(9, 9, 9));
  Click(Canvas(), {10, 10});
  EXPECT_EQ(Document().GetEntryColor(0), MakeColor(10, 10, 7));
}

TEST_F(PickingAndPreviewTest, LoadingAPictureHidesThePreview) {
  Preview(QStringLiteral("1"), QStringLiteral("1"));
  ASSERT_TRUE(Preview()->isVisible());
  OpenPicture(picturePath_);
  EXPECT_FALSE(Preview()->isVisible());
}

TEST_F(PickingAndPreviewTest, RightClickExportsAnIndexedBitmapOfThePicturesSize) {
  for (int i = 0; i < 256; ++i) Document().SetEntryColor(i, MakeColor(i, 255 - i, i / 2));
  Preview(QStringLiteral("10"), QStringLiteral("40"));
  const QImage preview = Main().Picture()->PreviewImage();
  QDir(TempPath(QString())).mkpath(QStringLiteral("out"));
  const QString target = TempPath(QStringLiteral("out/a.bmp"));
  dialogs_.AnswerSave(target);
  Click(Preview(), {20, 20}, Qt::RightButton);

  const auto saves = dialogs_.CallsOf("save");
  ASSERT_EQ(saves.size(), 1u);
  EXPECT_EQ(saves[0].title, QStringLiteral("Save Preview"));
  // The picture's name with the format's ending, in the picture's folder before any export.
  EXPECT_EQ(saves[0].directory, QFileInfo(picturePath_).absolutePath());
  EXPECT_EQ(saves[0].defaultName, QStringLiteral("gradient.bmp"));
  EXPECT_EQ(saves[0].filter,
            QStringLiteral("Windows Bitmap|*.bmp|GIF|*.gif|PNG|*.png|All files|*.*"));
  EXPECT_EQ(saves[0].defaultExt, QStringLiteral("bmp"));
  EXPECT_TRUE(Preview()->isVisible());

  const QByteArray bytes = ReadBytes(target);
  // The status names what was written.
  const QString status = Main().Result()->findChild<QLabel*>(QStringLiteral("lblStatus"))->text();
  EXPECT_TRUE(status.contains(
      QStringLiteral("a.bmp (%1 bytes)").arg(QLocale(QLocale::English).toString(bytes.size()))))
      << status.toStdString();
  ASSERT_GT(bytes.size(), 54);
  EXPECT_EQ(bytes.left(2), QByteArray("BM"));
  EXPECT_EQ(quint8(bytes[28]), 8);  // bits per pixel
  QImage read;
  ASSERT_TRUE(read.loadFromData(bytes, "BMP"));
  ASSERT_EQ(read.size(), QSize(200, 60));
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x)
      ASSERT_EQ(read.pixel(x, y) & 0xFFFFFFu, preview.pixel(x, y) & 0xFFFFFFu) << x << "," << y;
  EXPECT_EQ(ReadSetting(SettingsPath(), "Export", "Exportpath", QString()),
            TempPath(QStringLiteral("out/")));

  // The next export starts there; a middle click exports too, and Cancel writes nothing.
  dialogs_.AnswerSave(std::nullopt);
  Click(Preview(), {20, 20}, Qt::MiddleButton);
  ASSERT_EQ(dialogs_.CallsOf("save").size(), 2u);
  EXPECT_EQ(dialogs_.CallsOf("save")[1].directory, TempPath(QStringLiteral("out/")));
  EXPECT_EQ(QDir(TempPath(QStringLiteral("out"))).entryList(QDir::Files),
            QStringList{QStringLiteral("a.bmp")});
}

TEST_F(PickingAndPreviewTest, RightClickExportWritesTheFormatOfTheNameOrOfTheChosenFilter) {
  for (int i = 0; i < 256; ++i) Document().SetEntryColor(i, MakeColor(i, 255 - i, i / 2));
  Document().SetEntryColor(12, Document().GetEntryColor(10));  // a duplicate in the range
  Preview(QStringLiteral("10"), QStringLiteral("30"));
  const QImage preview = Main().Picture()->PreviewImage();
  std::vector<ColorValue> range;
  for (int i = 9; i <= 29; ++i) range.push_back(Document().GetEntryColor(i));
  QDir(TempPath(QString())).mkpath(QStringLiteral("out"));
  const struct {
    const char* name;
    int filter;  // the pair chosen: 0 bitmap, 1 GIF, 2 PNG, 3 all files
    const char* format;
  } cases[] = {{"x.gif", 0, "GIF"}, {"x.png", 3, "PNG"},   {"x.bmp", 1, "BMP"},
               {"x.foo", 3, "BMP"}, {"y.final", 1, "GIF"}, {"z.final", 2, "PNG"},
               {"X.GIF", 3, "GIF"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString target = TempPath(QStringLiteral("out/") + QString::fromLatin1(c.name));
    dialogs_.AnswerSave(target, c.filter);
    Click(Preview(), {20, 20}, Qt::RightButton);
    const QByteArray bytes = ReadBytes(target);
    QImage read;
    ASSERT_TRUE(read.loadFromData(bytes, c.format));
    EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32), preview);
    if (QByteArray(c.format) == "GIF") {
      const DecodedGif gif = DecodeGifWithGiflib(bytes);
      ASSERT_TRUE(gif.error.isEmpty());
      ASSERT_EQ(gif.globalTable.size(), 32u);
      EXPECT_TRUE(std::equal(range.begin(), range.end(), gif.globalTable.begin()));
    } else if (QByteArray(c.format) == "PNG") {
      EXPECT_TRUE(ReadPngHeader(bytes).palette == range);
    } else {
      EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    }
  }
}

TEST_F(PickingAndPreviewTest, AFailedExportNamesTheFileAndKeepsTheExportDirectory) {
  Preview(QStringLiteral("1"), QStringLiteral("1"));
  const QString target = TempPath(QStringLiteral("no/such/dir/b.bmp"));
  dialogs_.AnswerSave(target);
  Click(Preview(), {20, 20}, Qt::RightButton);
  const auto messages = dialogs_.CallsOf("message");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].text.contains(target)) << messages[0].text.toStdString();
  EXPECT_FALSE(QFile::exists(target));
  EXPECT_EQ(ReadSetting(SettingsPath(), "Export", "Exportpath", QStringLiteral("unset")),
            QStringLiteral("unset"));
}

}  // namespace
}  // namespace tavlo::testing
