// The last session's palette: written at shut-down before anything else, whatever else fails,
// and put back from the Edit menu as one undo step; a damaged or missing file changes nothing.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>

#include "palette_model/palette_document.h"
#include "store/state_directory.h"
#include "support/app_fixture.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

PaletteColors Varied() {
  PaletteColors colors;
  for (int i = 0; i < kPaletteSize; ++i) colors[i] = MakeColor(i, 255 - i, (i * 7) % 256);
  return colors;
}

// The ACT bytes of a palette, written out here by hand: red, green, blue of every entry.
QByteArray ActBytes(const PaletteColors& colors) {
  QByteArray bytes;
  for (ColorValue c : colors) {
    bytes += static_cast<char>(RedOf(c));
    bytes += static_cast<char>(GreenOf(c));
    bytes += static_cast<char>(BlueOf(c));
  }
  return bytes;
}

class LastSessionTest : public AppFixture {
 protected:
  QString SessionFile() const { return StateDirectory() + "/last-session.act"; }
  QAction* Restore() { return Main().findChild<QAction*>("mnuRestoreSession"); }
  // What a user sees on opening the Edit menu.
  bool RestoreOffered() {
    QMenu* edit = Main().findChild<QMenu*>("mnuEdit");
    edit->popup(Main().geometry().center());
    edit->hide();
    return Restore()->isEnabled();
  }
  QStringList Messages() const {
    QStringList texts;
    for (const DialogCall& call : dialogs_.CallsOf("message")) texts << call.text;
    return texts;
  }
};

TEST_F(LastSessionTest, QuitWritesThePaletteAndTheNextSessionRestoresItAsOneStep) {
  StartApp();
  EXPECT_FALSE(RestoreOffered());
  Document().Apply("Set up", Varied());
  CloseApp();
  EXPECT_EQ(ReadBytes(SessionFile()), ActBytes(Varied()));
  EXPECT_EQ(QDir(StateDirectory()).entryList(QDir::Files | QDir::Hidden),
            QStringList{"last-session.act"});

  StartApp();
  EXPECT_EQ(Document().Colors(), PaletteColors{});  // start-up stays black
  ASSERT_TRUE(RestoreOffered());
  Restore()->trigger();
  EXPECT_EQ(Document().Colors(), Varied());
  EXPECT_EQ(Document().UndoCount(), 1);
  EXPECT_EQ(Document().UndoName(), "Restore last session's palette");
  Main().findChild<QAction*>("mnuUndo")->trigger();
  EXPECT_EQ(Document().Colors(), PaletteColors{});
  EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(LastSessionTest, TheTransparentEntryComesBackWithThePalette) {
  StartApp();
  Document().Apply("Set up", Varied());
  Document().SetTransparentEntry(4);
  CloseApp();
  EXPECT_EQ(ReadBytes(StateDirectory() + "/last-session-transparent.txt"), "5\n");
  StartApp();
  Restore()->trigger();
  EXPECT_EQ(Document().TransparentEntry(), 4);
  Document().Undo();
  EXPECT_EQ(Document().TransparentEntry(), ResultSettings::kNoTransparentEntry);
  Document().Redo();
  Document().SetTransparentEntry(ResultSettings::kNoTransparentEntry);
  CloseApp();  // a palette without one leaves no file for it
  EXPECT_EQ(QDir(StateDirectory()).entryList(QDir::Files), QStringList{"last-session.act"});
}

TEST_F(LastSessionTest, QuitWritesThePaletteEvenWhenTheSettingsFileCannotBeWritten) {
  ASSERT_TRUE(QDir().mkpath(SettingsPath()));  // a directory where the file should be
  StartApp();
  Document().SetEntryColor(9, MakeColor(1, 2, 3));
  CloseApp();
  PaletteColors expected{};
  expected[9] = MakeColor(1, 2, 3);
  EXPECT_EQ(ReadBytes(SessionFile()), ActBytes(expected));
}

TEST_F(LastSessionTest, AStateDirectoryThatCannotBeMadeCostsNothingElse) {
  WriteBytes(StateDirectory(), "a file where the directory should be");
  StartApp();
  Document().SetEntryColor(0, MakeColor(1, 2, 3));
  CloseApp();
  EXPECT_FALSE(Main().isVisible());
  EXPECT_TRUE(ReadBytes(SettingsPath()).contains("[frmPalette]"));
  EXPECT_EQ(ReadBytes(StateDirectory()), "a file where the directory should be");
}

TEST_F(LastSessionTest, ASessionThatNeverChangedThePaletteKeepsTheOneBefore) {
  QDir().mkpath(StateDirectory());
  WriteBytes(SessionFile(), ActBytes(Varied()));
  StartApp();
  Document().MoveSelectionTo(5);
  CloseApp();
  EXPECT_EQ(ReadBytes(SessionFile()), ActBytes(Varied()));
}

TEST_F(LastSessionTest, ADamagedFileIsReportedAndChangesNothing) {
  QDir().mkpath(StateDirectory());
  for (const QByteArray& damaged :
       {ActBytes(Varied()).left(700), ActBytes(Varied()) + "xxxx", QByteArray()}) {
    WriteBytes(SessionFile(), damaged);
    const qsizetype reported = Messages().size();
    StartApp();
    ASSERT_TRUE(RestoreOffered());
    Restore()->trigger();
    EXPECT_EQ(Document().Colors(), PaletteColors{});
    EXPECT_FALSE(Document().CanUndo());
    ASSERT_EQ(Messages().size(), reported + 1);
    EXPECT_EQ(Messages().back(), "The palette of the last session in " +
                                     QDir::toNativeSeparators(SessionFile()) +
                                     " is damaged; nothing was restored.");
    CloseApp();
  }
}

TEST_F(LastSessionTest, AFileGoneSinceTheMenuOpenedIsReportedAndChangesNothing) {
  QDir().mkpath(StateDirectory());
  WriteBytes(SessionFile(), ActBytes(Varied()));
  StartApp();
  ASSERT_TRUE(RestoreOffered());
  QFile::remove(SessionFile());
  Restore()->trigger();
  EXPECT_EQ(Document().Colors(), PaletteColors{});
  EXPECT_EQ(Messages(), QStringList{"There is no palette of the last session to restore."});
  EXPECT_FALSE(RestoreOffered());

  // A directory of that name is no palette either.
  QDir().mkpath(SessionFile());
  EXPECT_FALSE(RestoreOffered());
}

TEST(StateDirectoryTest, FollowsTheStateHomeWhenItIsAnAbsolutePath) {
  EXPECT_EQ(ChooseStateDirectory("/var/state/", "/home/ann"), "/var/state/tavlo");
  EXPECT_EQ(ChooseStateDirectory("", "/home/ann"), "/home/ann/.local/state/tavlo");
  EXPECT_EQ(ChooseStateDirectory("relative/state", "/home/ann"), "/home/ann/.local/state/tavlo");
}

}  // namespace
}  // namespace tavlo::testing
