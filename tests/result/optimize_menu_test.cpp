// The "&Optimize" menu on the real windows: the result window with the real figures, the unused
// entries marked in the palette window, the GIF and PNG exports checked byte by byte through
// independent readers, and the result window's place between runs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

#include "app/main_window.h"
#include "colorlib/tavlo_color.h"
#include "palette_model/palette_document.h"
#include "palette_window/palette_window.h"
#include "palette_window/swatch_grid.h"
#include "picture_view/picture_area.h"
#include "reduction/from_image.h"
#include "reduction/gif_encoder.h"
#include "result/comparison_view.h"
#include "result/result_texts.h"
#include "result/result_window.h"
#include "store/settings_store.h"
#include "support/app_fixture.h"
#include "support/picture_decoding.h"
#include "support/picture_files.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

// 120 x 50, smooth red and green ramps with a few blue steps.
QImage Ramps() {
  QImage image(120, 50, QImage::Format_RGB32);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 120; ++x) image.setPixel(x, y, qRgb(2 * x, 5 * y, (x / 30) * 80));
  return image;
}

class OptimizeMenuTest : public AppFixture {
 protected:
  void SetUp() override {
    StartApp();
    const QString path = TempPath(QStringLiteral("ramps.png"));
    ASSERT_TRUE(Ramps().save(path, "PNG"));
    OpenPicture(path);
    for (int i = 0; i < 256; ++i)
      Document().SetEntryColor(i, i < 40 ? MakeColor(i * 6, (i * 37) % 256, (i % 4) * 80) : 0);
    QDir(TempPath(QString())).mkpath(QStringLiteral("out"));
  }

  ResultWindow& Result() { return *Main().Result(); }
  QString Shown(const char* name) {
    return Result().findChild<QLabel*>(QString::fromLatin1(name))->text();
  }
  const ResultFigures& WaitForFigures() {
    EXPECT_TRUE(QTest::qWaitFor([&] { return Result().CurrentFigures() != nullptr; }, 20000));
    return *Result().CurrentFigures();
  }
  void Preview(const QString& first, const QString& last) {
    dialogs_.AnswerInputs({first, last});
    Item("mnuTest")->trigger();
    QApplication::processEvents();
  }
  // The picture reduced to the document's entries `first`..`last` (0-based), by the preview's rule.
  IndexedPicture Expected(int first, int last) {
    std::vector<ColorValue> entries;
    for (int i = first; i <= last; ++i) entries.push_back(Document().GetEntryColor(i));
    return ReduceImage(Main().Picture()->Picture(), entries);
  }
};

TEST_F(OptimizeMenuTest, CtrlRShowsTheResultWindowBesideTheOthersAndItsCloseButtonUnchecksIt) {
  QAction* show = Item("mnuShowResult");
  ASSERT_TRUE(show->isCheckable());
  EXPECT_FALSE(Result().isVisible());
  QTest::keyClick(&Main(), Qt::Key_R, Qt::ControlModifier);
  QApplication::processEvents();
  ASSERT_TRUE(Result().isVisible());
  EXPECT_TRUE(show->isChecked());
  EXPECT_EQ(Result().objectName(), QStringLiteral("frmResult"));
  EXPECT_EQ(Result().windowTitle(), QStringLiteral("Result"));
  EXPECT_EQ(Result().parentWidget(), &Main());
  EXPECT_TRUE(Result().windowFlags().testFlag(Qt::Tool));
  // First start: on the screen, over neither the main window nor the palette window.
  const QRect place = Result().frameGeometry();
  EXPECT_FALSE(place.intersects(Main().frameGeometry()));
  const auto text = [](QRect r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
  };
  EXPECT_FALSE(place.intersects(Palette().frameGeometry()))
      << text(place).toStdString() << " over " << text(Palette().frameGeometry()).toStdString()
      << " beside " << text(Main().frameGeometry()).toStdString() << " on "
      << text(Result().screen()->availableGeometry()).toStdString();
  EXPECT_TRUE(Result().screen()->availableGeometry().contains(place));

  Result().close();
  QApplication::processEvents();
  EXPECT_FALSE(show->isChecked());
  show->trigger();
  EXPECT_TRUE(Result().isVisible());
  show->trigger();
  EXPECT_FALSE(Result().isVisible());
}

TEST_F(OptimizeMenuTest, TheComparisonFollowsThePointerOverThePictureUnlessTurnedOff) {
  Item("mnuShowResult")->trigger();
  WaitForFigures();
  ComparisonCanvas& view = Result().Comparison().Canvas();
  view.SetZoom(16);
  auto centre = [&] { return view.PixelAt(QPointF(view.rect().center()) + QPointF(0.5, 0.5)); };
  QTest::mouseMove(Main().Picture()->Canvas(), QPoint(90, 30));
  EXPECT_LE((centre() - QPoint(90, 30)).manhattanLength(), 1);
  Result().findChild<QCheckBox*>(QStringLiteral("chkFollowLens"))->setChecked(false);
  QTest::mouseMove(Main().Picture()->Canvas(), QPoint(40, 20));
  EXPECT_LE((centre() - QPoint(90, 30)).manhattanLength(), 1);
}

TEST_F(OptimizeMenuTest, ShowsTheFiguresOfTheGifTheExportWritesAndMarksUnusedEntries) {
  Item("mnuShowResult")->trigger();
  const ResultFigures& figures = WaitForFigures();
  const IndexedPicture expected = Expected(0, 255);  // before any preview: entries 1 to 256
  EXPECT_EQ(figures.gif, EncodeGif(expected).bytes);
  EXPECT_EQ(Shown("lblGifSize"), ByteCountText(figures.GifBytes()));
  EXPECT_EQ(Shown("lblTable"), TableText(figures));

  // The usage table: a row per range entry, pixel counts adding up to the picture's.
  auto* usage = Result().findChild<QTableView*>(QStringLiteral("grdUsage"));
  ASSERT_EQ(usage->model()->rowCount(), 256);
  qulonglong sum = 0;
  std::bitset<kPaletteSize> unused;
  for (int row = 0; row < 256; ++row) {
    const int entry = usage->model()->index(row, 0).data(Qt::UserRole).toInt();
    const qulonglong pixels = usage->model()->index(row, 2).data(Qt::UserRole).toULongLong();
    sum += pixels;
    if (pixels == 0) unused.set(size_t(entry - 1));
  }
  EXPECT_EQ(sum, 120u * 50u);
  // Entries 41 to 256 are all black: only the first of them, entry 41, can be used.
  for (int i = 41; i < 256; ++i) EXPECT_TRUE(unused[size_t(i)]) << i;
  EXPECT_EQ(Palette().Swatches()->MarkedEntries(), unused);

  // Sorted by pixels, the most used entry comes first.
  usage->sortByColumn(2, Qt::DescendingOrder);
  EXPECT_EQ(usage->model()->index(0, 2).data(Qt::UserRole).toULongLong(),
            *std::max_element(figures.usage.begin(), figures.usage.end()));

  // The window follows the range of the last preview, and marks disappear with the window.
  Preview(QStringLiteral("3"), QStringLiteral("20"));
  const ResultFigures& ranged = WaitForFigures();
  EXPECT_EQ(ranged.rangeSize, 18);
  EXPECT_EQ(ranged.gif, EncodeGif(Expected(2, 19)).bytes);
  EXPECT_EQ(usage->model()->rowCount(), 18);
  Item("mnuShowResult")->trigger();
  EXPECT_TRUE(Palette().Swatches()->MarkedEntries().none());
}

TEST_F(OptimizeMenuTest, AnEditIsFollowedByItsFiguresAndTheirChange) {
  Item("mnuShowResult")->trigger();
  const qint64 before = WaitForFigures().GifBytes();
  Document().SetEntryColor(5, MakeColor(250, 250, 250));
  EXPECT_EQ(Result().CurrentFigures(), nullptr);  // outdated at once
  const ResultFigures& after = WaitForFigures();
  EXPECT_EQ(after.gif, EncodeGif(Expected(0, 255)).bytes);
  EXPECT_EQ(Shown("lblGifChange"), ByteChangeText(after.GifBytes() - before));
}

// After each command the window's change is what the command did to the GIF the user exports:
// the size of the file after it less the size before. Undo puts back the range with the palette.
TEST_F(OptimizeMenuTest, EachCommandsChangeIsTheDifferenceOfTheExportedFiles) {
  Preview(QStringLiteral("1"), QStringLiteral("40"));
  Item("mnuShowResult")->trigger();
  const auto exported = [&](const QString& name) {
    WaitForFigures();
    dialogs_.AnswerSave(TempPath(QStringLiteral("out/") + name));
    Item("mnuExportGif")->trigger();
    return ReadBytes(TempPath(QStringLiteral("out/") + name)).size();
  };
  const struct {
    const char* item;
    QStringList answers;
  } commands[] = {{"mnuMergeNear", {"12"}}, {"mnuPaletteFromPicture", {}}};
  for (const auto& command : commands) {
    const qsizetype before = exported(QStringLiteral("before.gif"));
    const EntryRange range = Document().WorkingRange();
    dialogs_.AnswerInputs(command.answers);
    Item(command.item)->trigger();
    ASSERT_TRUE(dialogs_.AllAnswersUsed()) << command.item;
    const qsizetype after = exported(QStringLiteral("after.gif"));
    EXPECT_NE(after, before) << command.item;
    EXPECT_EQ(Shown("lblGifChange"), ByteChangeText(after - before)) << command.item;
    Document().Undo();
    EXPECT_EQ(Document().WorkingRange(), range) << command.item;
    EXPECT_EQ(Result().findChild<QSpinBox*>("spnLastEntry")->value(), range.last + 1);
    Document().Redo();
  }
}

// What loading dropped is said in the status; clear pixels laid over the matte are said beside
// the transparent entry, and the loss leaves them out.
TEST_F(OptimizeMenuTest, FramesDroppedOnLoadingAndClearPixelsMadeOpaqueAreSaid) {
  QImage half(20, 10, QImage::Format_ARGB32);
  half.fill(qRgba(200, 30, 30, 255));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 20; ++x) half.setPixel(x, y, qRgba(0, 0, 255, 0));
  ASSERT_TRUE(half.save(TempPath("half.png")));
  const QByteArray three =
      MakeGif(2, 2, {qRgb(9, 9, 9), qRgb(90, 90, 90)}, {{0, 0, 0, 0}, {1, 1, 1, 1}, {0, 1, 0, 1}});
  WriteBytes(TempPath("three.gif"), three.left(three.size() - 3));  // the third frame cut off
  const struct {
    const char* file;
    const char* label;
    const char* said;
  } cases[] = {{"half.png", "lblTransparency", "100 transparent pixels made opaque"},
               {"three.gif", "lblStatus", "frame 3 is damaged or cut off"}};
  Item("mnuShowResult")->trigger();
  for (const auto& c : cases) {
    OpenPicture(TempPath(c.file));
    WaitForFigures();
    EXPECT_TRUE(Shown(c.label).contains(c.said)) << Shown(c.label).toStdString();
  }
  OpenPicture(TempPath("half.png"));
  const ResultFigures& figures = WaitForFigures();
  EXPECT_EQ(figures.unmeasured, 100u);  // the transparent half, white now, is not counted
  EXPECT_TRUE(Shown("lblLoss").contains("100 transparent pixels not measured"))
      << Shown("lblLoss").toStdString();
}

TEST_F(OptimizeMenuTest, ExportGifWritesTheFileTheWindowMeasuresDecodingToThePreview) {
  Preview(QStringLiteral("1"), QStringLiteral("17"));
  Item("mnuShowResult")->trigger();
  const QByteArray measured = WaitForFigures().gif;
  const QString target = TempPath(QStringLiteral("out/a.gif"));
  dialogs_.AnswerSave(target);
  Item("mnuExportGif")->trigger();
  const auto saves = dialogs_.CallsOf("save");
  ASSERT_EQ(saves.size(), 1u);
  EXPECT_EQ(saves[0].title, QStringLiteral("Export GIF"));
  EXPECT_EQ(saves[0].defaultExt, QStringLiteral("gif"));
  const QByteArray written = ReadBytes(target);
  EXPECT_EQ(written, measured);

  const DecodedGif decoded = DecodeGifWithGiflib(written);
  ASSERT_TRUE(decoded.error.isEmpty());
  const IndexedPicture expected = Expected(0, 16);
  EXPECT_TRUE(decoded.indexes == expected.indexes);
  ASSERT_EQ(decoded.globalTable.size(), 32u);  // 17 entries padded with black
  for (size_t i = 0; i < 32; ++i)
    EXPECT_EQ(decoded.globalTable[i], i < 17 ? Document().GetEntryColor(int(i)) : 0) << i;
  QImage read;
  ASSERT_TRUE(read.loadFromData(written, "GIF"));
  EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32), Main().Picture()->PreviewImage());
  EXPECT_EQ(ReadSetting(SettingsPath(), "Export", "Exportpath", QString()),
            TempPath(QStringLiteral("out/")));

  // With the window hidden, the export works the reduction out for the palette as it is.
  Item("mnuShowResult")->trigger();
  Document().SetEntryColor(0, MakeColor(9, 9, 9));
  dialogs_.AnswerSave(TempPath(QStringLiteral("out/b.gif")));
  Item("mnuExportGif")->trigger();
  EXPECT_EQ(ReadBytes(TempPath(QStringLiteral("out/b.gif"))), EncodeGif(Expected(0, 16)).bytes);
}

// With a loss budget the window shows the budgeted file, the exact one beside it, and what the
// budget bought; a change of budget is no undo step; at 0 the exact line goes.
TEST_F(OptimizeMenuTest, ALossBudgetShowsTheBudgetedFileBesideTheExactOne) {
  const QImage picture = Main().Picture()->Picture();
  for (int i = 0; i < 40; ++i)  // colours of the picture, so that the budget has choices
    Document().SetEntryColor(i, FromRgbPixel(picture.pixel(i * 3, (i * 7) % 50)));
  Item("mnuShowResult")->trigger();
  const ResultFigures exact = WaitForFigures();
  const int undo = Document().UndoCount();
  auto* budget = Result().findChild<QDoubleSpinBox*>(QStringLiteral("spnLossBudget"));
  ASSERT_TRUE(budget);
  budget->setValue(10);
  const ResultFigures& budgeted = WaitForFigures();
  EXPECT_EQ(budgeted.budget, 10);
  EXPECT_LT(budgeted.GifBytes(), exact.GifBytes());
  EXPECT_EQ(budgeted.exact.gifBytes, exact.GifBytes());
  EXPECT_EQ(budgeted.exact.meanLoss, exact.meanLoss);
  EXPECT_EQ(Shown("lblGifSize"), ByteCountText(budgeted.GifBytes()));
  EXPECT_EQ(Shown("lblLoss"), LossText(budgeted));
  EXPECT_EQ(Shown("lblExact"), ExactText(budgeted));
  EXPECT_TRUE(Shown("lblBudgetEffect").startsWith(QChar(0x2212)))
      << Shown("lblBudgetEffect").toStdString();
  EXPECT_TRUE(Result().findChild<QLabel*>(QStringLiteral("lblExact"))->isVisible());
  EXPECT_EQ(Document().UndoCount(), undo);

  budget->setValue(0);
  EXPECT_EQ(WaitForFigures().gif, exact.gif);
  EXPECT_FALSE(Result().findChild<QLabel*>(QStringLiteral("lblExact"))->isVisible());
}

TEST_F(OptimizeMenuTest, ExportPngKeepsTheRangeAsItsTableInOrder) {
  Document().SetEntryColor(3, Document().GetEntryColor(1));  // a duplicate entry
  Preview(QStringLiteral("2"), QStringLiteral("6"));
  const QString target = TempPath(QStringLiteral("out/a.png"));
  dialogs_.AnswerSave(target);
  Item("mnuExportPng")->trigger();
  EXPECT_EQ(dialogs_.CallsOf("save").at(0).title, QStringLiteral("Export PNG"));
  const QByteArray written = ReadBytes(target);
  const PngHeader header = ReadPngHeader(written);
  ASSERT_TRUE(header.error.isEmpty());
  EXPECT_EQ(header.colorType, 3);
  EXPECT_EQ(header.bitDepth, 4);
  std::vector<ColorValue> range;
  for (int i = 1; i <= 5; ++i) range.push_back(Document().GetEntryColor(i));
  EXPECT_TRUE(header.palette == range);
  QImage read;
  ASSERT_TRUE(read.loadFromData(written, "PNG"));
  EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32), Main().Picture()->PreviewImage());
}

// A picture with clear pixels: the window offers the first entry no opaque pixel shows; taken,
// the palette window marks it, the figures count the clear pixels apart, and both exports name it
// transparent exactly where the picture is clear, as independent readers see it.
TEST_F(OptimizeMenuTest, AnOfferedEntryBecomesTransparentInTheWindowsAndTheFiles) {
  QImage logo(20, 10, QImage::Format_ARGB32);
  logo.fill(qRgba(200, 30, 30, 255));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 20; ++x) logo.setPixel(x, y, qRgba(0, 0, 255, y < 4 ? 0 : 90));
  ASSERT_TRUE(logo.save(TempPath("logo.png")));
  OpenPicture(TempPath("logo.png"));
  Document().SetWorkingRange({0, 15});
  Item("mnuShowResult")->trigger();
  WaitForFigures();
  auto* offer = Result().findChild<QPushButton*>(QStringLiteral("cmdMakeTransparent"));
  ASSERT_TRUE(offer->isVisible() && offer->isEnabled());
  const int free = Result().CurrentFigures()->firstFreeEntry;
  EXPECT_EQ(offer->text(), QStringLiteral("Make entry %1 transparent").arg(free + 1));
  QTest::mouseClick(offer, Qt::LeftButton);
  EXPECT_EQ(Document().TransparentEntry(), free);
  const ResultFigures& figures = WaitForFigures();
  EXPECT_EQ(Shown("lblTransparency"), "100 transparent; 20 partly transparent pixels made clear");
  EXPECT_EQ(figures.usage[size_t(free)], 100u);
  EXPECT_FALSE(offer->isVisible());

  SwatchGrid* swatches = Palette().Swatches();
  EXPECT_EQ(swatches->TransparentEntry(), free);
  const QImage shot = swatches->grab().toImage();
  const QPoint corner = SwatchGrid::SwatchRect(free).topLeft();
  EXPECT_EQ(shot.pixelColor(corner), QColor(Qt::white));
  EXPECT_EQ(shot.pixelColor(corner + QPoint(2, 0)), QColor(153, 153, 153));

  dialogs_.AnswerSave(TempPath("out/logo.gif"));
  Item("mnuExportGif")->trigger();
  dialogs_.AnswerSave(TempPath("out/logo.png"));
  Item("mnuExportPng")->trigger();
  const DecodedGif gif = DecodeGifWithGiflib(ReadBytes(TempPath("out/logo.gif")));
  ASSERT_TRUE(gif.error.isEmpty()) << gif.error.toStdString();
  EXPECT_EQ(gif.version, "89a");
  EXPECT_EQ(gif.transparentIndex, free);
  for (size_t p = 0; p < gif.indexes.size(); ++p) EXPECT_EQ(gif.indexes[p] == free, p < 100) << p;
  const PngHeader png = ReadPngHeader(ReadBytes(TempPath("out/logo.png")));
  EXPECT_EQ(png.transparency, QByteArray(free, char(255)) + char(0));  // as short as it can be
  const PillowIndexed pillow = ReadIndexedWithPillow(ReadBytes(TempPath("out/logo.png")));
  if (pillow.skipped.isEmpty()) {
    EXPECT_EQ(pillow.transparentIndex, free);
    EXPECT_EQ(pillow.indexes, gif.indexes);
  }
}

// The threshold and the matte are chosen in the window (the matte with the colour dialog) and
// kept in the settings; the figures follow them.
TEST_F(OptimizeMenuTest, TheAlphaRuleIsChosenInTheWindowAndKept) {
  Item("mnuShowResult")->trigger();
  WaitForFigures();
  dialogs_.AnswerColor(MakeColor(0, 0, 0));
  QTest::mouseClick(Result().findChild<QPushButton*>(QStringLiteral("cmdMatte")), Qt::LeftButton);
  Result().findChild<QSpinBox*>(QStringLiteral("spnAlphaThreshold"))->setValue(200);
  EXPECT_EQ(Result().Alpha(), (AlphaRule{200, MakeColor(0, 0, 0)}));
  EXPECT_EQ(ReadSetting(SettingsPath(), "Optimize", "Matte", QString()), "000000");
  EXPECT_EQ(ReadSetting(SettingsPath(), "Optimize", "AlphaThreshold", QString()), "200");
  WaitForFigures();
  EXPECT_EQ(Result().Computer().CurrentJob()->rule.alpha, Result().Alpha());
}

TEST_F(OptimizeMenuTest, AFailedExportNamesTheFileAndChangesNothing) {
  for (const char* item : {"mnuExportGif", "mnuExportPng"}) {
    const QString target = TempPath(QStringLiteral("no/such/dir/x.out"));
    dialogs_.AnswerSave(target);
    Item(item)->trigger();
    EXPECT_FALSE(QFile::exists(target));
  }
  const auto messages = dialogs_.CallsOf("message");
  ASSERT_EQ(messages.size(), 2u);
  for (const auto& message : messages)
    EXPECT_TRUE(message.text.contains(QDir::toNativeSeparators(TempPath("no/such/dir/x.out"))))
        << message.text.toStdString();
  EXPECT_EQ(ReadSetting(SettingsPath(), "Export", "Exportpath", QStringLiteral("unset")),
            QStringLiteral("unset"));
  // Cancel writes nothing either.
  dialogs_.AnswerSave(std::nullopt);
  Item("mnuExportGif")->trigger();
  EXPECT_EQ(dialogs_.CallsOf("message").size(), 2u);
}

// The place, the size, the heights of the panes and the viewing condition.
TEST_F(OptimizeMenuTest, TheLayoutIsStoredAtShutDownAndRestored) {
  Item("mnuShowResult")->trigger();
  Result().move(100, 50);
  Result().resize(480, 540);
  Result().SetPaneHeights(210, 90);
  const auto panes = Result().PaneHeights();
  Result().findChild<QDoubleSpinBox*>("spnViewing")->setValue(120);
  EXPECT_EQ(Result().ViewingPpd(), 120);
  CloseApp();
  const QString view = QString::number(panes.first * 15),
                usage = QString::number(panes.second * 15);
  const QString stored[][2] = {{"Left", "1500"},   {"Top", "750"},       {"Width", "7200"},
                               {"Height", "8100"}, {"ViewHeight", view}, {"UsageHeight", usage}};
  for (const auto& [key, twips] : stored)
    EXPECT_EQ(ReadSetting(SettingsPath(), "frmResult", key.toLatin1(), QString()), twips)
        << key.toStdString();
  EXPECT_EQ(ReadSetting(SettingsPath(), "Optimize", "ViewingPPD", QString()), "120");
  StartApp();
  EXPECT_EQ(Result().pos(), QPoint(100, 50));
  Item("mnuShowResult")->trigger();
  EXPECT_EQ(Result().pos(), QPoint(100, 50));
  EXPECT_EQ(Result().size(), QSize(480, 540));
  EXPECT_EQ(Result().PaneHeights(), panes);
  EXPECT_EQ(Result().ViewingPpd(), 120);
  EXPECT_EQ(Result().findChild<QDoubleSpinBox*>("spnViewing")->value(), 120);
}

// A size stored on a larger screen is cut to this one's, so that the whole window shows.
TEST_F(OptimizeMenuTest, AStoredSizeLargerThanTheScreenIsCutToIt) {
  Item("mnuShowResult")->trigger();
  Result().resize(1500, 1100);  // the test screen is smaller
  CloseApp();
  StartApp();
  Item("mnuShowResult")->trigger();
  const QRect screen = Result().screen()->availableGeometry();
  EXPECT_TRUE(screen.contains(Result().frameGeometry()))
      << Result().frameGeometry().width() << "x" << Result().frameGeometry().height();
}

}  // namespace
}  // namespace tavlo::testing
