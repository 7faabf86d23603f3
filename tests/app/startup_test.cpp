#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>

#include "palette_model/palette_document.h"
#include "palette_window/palette_window.h"
#include "picture_view/picture_area.h"
#include "store/process_state.h"
#include "store/settings_store.h"
#include "support/app_fixture.h"
#include "support/picture_files.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

class StartupTest : public AppFixture {};

TEST_F(StartupTest, FirstStartWritesOnlyRecentMaxAndShutdownAddsTheRestInOrder) {
  StartApp();
  EXPECT_EQ(ReadBytes(SettingsPath()), QByteArray("[Recent]\r\nMax=4\r\n"));
  EXPECT_EQ(Main().pos(), QPoint(0, 0));
  const QPoint palette = Palette().pos();
  EXPECT_EQ(palette, QPoint(Main().frameGeometry().right() + 1, 0));
  EXPECT_EQ(Main().windowTitle(), QStringLiteral("Tavlo V0.9.1"));
  EXPECT_EQ(Process().zoomFactor, 5);
  EXPECT_EQ(Process().recentMax, 4);

  CloseApp();
  const QByteArray expected =
      "[Recent]\r\nMax=4\r\n"
      "[frmMain]\r\nTop=0\r\nLeft=0\r\n"
      "[PersonalInfo]\r\nUser=" +
      qgetenv("USER") +
      "\r\n"
      "[frmPalette]\r\nTop=0\r\nLeft=" +
      QByteArray::number(palette.x() * 15) + "\r\n";
  const QByteArray written = ReadBytes(SettingsPath());
  if (!qgetenv("USER").isEmpty()) {
    EXPECT_EQ(written, expected);
  }
  EXPECT_TRUE(written.endsWith(
      "[frmPalette]\r\nTop=0\r\nLeft=" + QByteArray::number(palette.x() * 15) + "\r\n"));
  EXPECT_FALSE(Palette().isVisible());
}

TEST_F(StartupTest, WindowPositionsSurviveARestartInTwips) {
  StartApp();
  Main().move(100, 50);
  Palette().move(700, 20);
  CloseApp();
  EXPECT_EQ(ReadSetting(SettingsPath(), "frmMain", "Left", ""), "1500");
  EXPECT_EQ(ReadSetting(SettingsPath(), "frmMain", "Top", ""), "750");
  EXPECT_EQ(ReadSetting(SettingsPath(), "frmPalette", "Left", ""), "10500");
  EXPECT_EQ(ReadSetting(SettingsPath(), "frmPalette", "Top", ""), "300");

  StartApp();
  EXPECT_EQ(Main().pos(), QPoint(100, 50));
  EXPECT_EQ(Palette().pos(), QPoint(700, 20));
}

TEST_F(StartupTest, FirstStartPutsThePaletteWindowBesideTheMainWindowOnItsScreen) {
  const QRect large(0, 0, 1600, 1200);
  const QRect small(1600, 0, 800, 600);
  if (QGuiApplication::screens().size() != 2 || QGuiApplication::screens()[1]->geometry() != small)
    GTEST_SKIP() << "needs the two screens of tests/support/screens.json";
  const struct {
    const char* mainLeft;  // twips
    const char* mainTop;
    QRect screen;
  } cases[] = {
      {nullptr, nullptr, large},  // nothing stored at all
      {"3000", "1500", large},    // 200, 100
      {"15000", "0", large},      // 1000: no room to the right
      {"24000", "0", small},      // 1600: the second screen
      {"32250", "4500", small},   // 2150, 300: half off the screen, room on the left only
  };
  for (const auto& c : cases) {
    QFile::remove(SettingsPath());
    if (c.mainLeft) {
      WriteSetting(SettingsPath(), "frmMain", "Left", c.mainLeft);
      WriteSetting(SettingsPath(), "frmMain", "Top", c.mainTop);
    }
    StartApp();
    const QRect main = Main().frameGeometry();
    const QRect palette = Palette().frameGeometry();
    SCOPED_TRACE(QStringLiteral("main at %1,%2").arg(main.x()).arg(main.y()).toStdString());
    EXPECT_TRUE(c.screen.contains(palette));
    EXPECT_FALSE(palette.intersects(main));
    CloseApp();
  }
}

TEST_F(StartupTest, AStoredPalettePositionIsTakenAsItIsEvenOverTheMainWindow) {
  WriteBytes(SettingsPath(), "[frmPalette]\r\nTop=150\r\nLeft=300\r\n");
  StartApp();
  EXPECT_EQ(Palette().pos(), QPoint(20, 10));
  CloseApp();
  EXPECT_EQ(ReadSetting(SettingsPath(), "frmPalette", "Left", ""), "300");
  EXPECT_EQ(ReadSetting(SettingsPath(), "frmPalette", "Top", ""), "150");
}

TEST_F(StartupTest, UnusablePositionsFallBackToZero) {
  WriteBytes(SettingsPath(),
             "[frmMain]\nTop=abc\nLeft=70000\n[frmPalette]\nTop=1507.5\nLeft=-15\n");
  StartApp();
  EXPECT_EQ(Main().pos(), QPoint(0, 0));
  // 1507.5 rounds to 1508 twips, about 101 pixels; -15 twips, a pixel off the screen, is moved
  // onto it.
  EXPECT_EQ(Palette().pos(), QPoint(0, 101));
}

TEST_F(StartupTest, RecentMaxIsReadAndWrittenBackAsAWholeNumber) {
  const struct {
    const char* stored;
    int expected;
  } cases[] = {{"6", 6}, {"04", 4}, {"abc", 4}, {"70000", 4}, {"4.5", 4}, {"0", 0}};
  for (const auto& c : cases) {
    WriteBytes(SettingsPath(), QByteArray("[recent]\nmax=") + c.stored + "\n");
    StartApp();
    EXPECT_EQ(Process().recentMax, c.expected) << c.stored;
    EXPECT_EQ(ReadSetting(SettingsPath(), "Recent", "Max", ""), QString::number(c.expected));
    CloseApp();
  }
}

TEST_F(StartupTest, QuitCommandClosesLikeTheCloseButton) {
  StartApp();
  Main().findChild<QAction*>("mnuQuit")->trigger();
  QApplication::processEvents();
  EXPECT_FALSE(Main().isVisible());
  EXPECT_EQ(ReadSetting(SettingsPath(), "frmPalette", "Left", "missing"),
            QString::number(Palette().x() * 15));
}

TEST_F(StartupTest, ClientAreaIsAlwaysThePictureArea) {
  StartApp();
  EXPECT_EQ(Main().centralWidget(), Main().Picture());
  EXPECT_EQ(Main().Picture()->size(), QSize(571, 166));
  EXPECT_EQ(Main().centralWidget()->size(), ClientFor(QSize(571, 166)));
  EXPECT_EQ(Main().Picture()->Canvas()->mapTo(Main().Picture(), QPoint(0, 0)), QPoint(2, 2));
  EXPECT_EQ(Main().Picture()->Canvas()->size(), QSize(567, 162));

  Main().Picture()->SetPicture(QImage(100, 50, QImage::Format_RGB32));
  Main().ResizeForm();
  EXPECT_EQ(Main().centralWidget()->size(), ClientFor(QSize(104, 54)));
  EXPECT_FALSE(Main().Picture()->horizontalScrollBar()->isVisible());
  EXPECT_FALSE(Main().Picture()->verticalScrollBar()->isVisible());
  // Far narrower than the menu bar's items: the area is as wide as the menu bar.
  Main().Picture()->SetPicture(QImage(12, 7, QImage::Format_RGB32));
  Main().ResizeForm();
  EXPECT_EQ(Main().centralWidget()->size(), ClientFor(QSize(16, 11)));
}

// Files given at the start, as the desktop's "Open with" passes them: each is opened as what
// its name and content show, the last picture stays, and a file that is neither is reported, as
// is a picture that cannot be opened (never read as the palette it also holds).
TEST_F(StartupTest, FilesGivenAtTheStartOpenAsPicturesOrPalettes) {
  StartApp();
  WriteBytes(TempPath("first.gif"), MakeGif(3, 2, {qRgb(1, 2, 3)}, {std::vector<quint8>(6, 0)}));
  const QByteArray whole = MakeGif(9, 9, {qRgb(4, 5, 6)}, {std::vector<quint8>(81, 0)});
  WriteBytes(TempPath("cut.gif"), whole.left(whole.size() - 8));
  WriteBytes(TempPath("pic.gif"), MakeGif(5, 4, {qRgb(9, 9, 9)}, {std::vector<quint8>(20, 0)}));
  WriteBytes(TempPath("blue.act"), QByteArray(768, '\x40'));  // no signature: known by its name
  WriteBytes(TempPath("colours"), "GIMP Palette\nName: t\n#\n255 0 0\tred\n");  // by content
  WriteBytes(TempPath("notes.md"), "# notes\n");
  Main().OpenFiles({TempPath("first.gif"), TempPath("blue.act"), TempPath("notes.md"),
                    TempPath("colours"), TempPath("cut.gif"), TempPath("pic.gif")});
  EXPECT_EQ(Main().Picture()->Picture().size(), QSize(5, 4));
  EXPECT_EQ(Main().windowTitle(), "Tavlo - " + TempPath("pic.gif"));
  EXPECT_EQ(Document().UndoCount(), 2);  // both palettes opened, one step each
  EXPECT_EQ(Document().GetEntryColor(0), MakeColor(255, 0, 0));
  const auto messages = dialogs_.CallsOf("message");
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_TRUE(messages[0].text.startsWith(TempPath("notes.md") + " cannot be opened"))
      << messages[0].text.toStdString();
  EXPECT_EQ(messages[1].text, TempPath("cut.gif") +
                                  " cannot be opened as a picture: the picture data is cut off "
                                  "or damaged.");
}

TEST_F(StartupTest, ResizeFormHidesThePreviewAndLaysItOverThePicture) {
  StartApp();
  QWidget* preview = Main().Picture()->Preview();
  EXPECT_EQ(preview->objectName(), "picPreview");
  EXPECT_EQ(preview->toolTip(), "Save Bitmap with right-click!");
  preview->show();
  Main().ResizeForm();
  EXPECT_FALSE(preview->isVisible());
  EXPECT_EQ(preview->geometry(), QRect(0, 0, 571, 166));
}

TEST_F(StartupTest, MainWindowCannotBeResizedOrMaximised) {
  StartApp();
  EXPECT_EQ(Main().minimumSize(), Main().maximumSize());
  EXPECT_FALSE(Main().windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(Main().windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(Main().windowIcon().isNull());
}

}  // namespace
}  // namespace tavlo::testing
