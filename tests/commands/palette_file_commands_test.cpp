// The open- and save-palette commands driven from the File menu of the running program, with
// scripted dialogs and real files.

#include <QAction>
#include <QDir>
#include <QLabel>

#include "commands/palette_file_commands.h"
#include "palette_model/palette_document.h"
#include "palette_window/palette_window.h"
#include "reduction/gif_encoder.h"
#include "reduction/png_encoder.h"
#include "result/result_window.h"
#include "store/settings_store.h"
#include "support/app_fixture.h"
#include "support/fault_injection.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

const QString kOpenFilter =
    "All formats|*.act;*pal;*.gif|Adobe palette-file|*.act|Jasc palette-file|*.pal|"
    "Compuserve Graphics Interchange|*.gif|GIMP palette|*.gpl|Hex list|*.hex|"
    "Swatch exchange|*.ase|Colour swatches|*.aco|Indexed picture|*.png;*.bmp";
const QString kSaveFilter =
    "Adobe ACT palette-file|*.act|Adobe ACO palette-file|*.aco|Jasc palette-file|*.pal|"
    "Painter palette-file |*.txt|All formats|*.act;*pal;*.txt|GIMP palette|*.gpl|"
    "Hex list|*.hex";

QByteArray ActOf(ColorValue first, ColorValue rest) {
  QByteArray bytes;
  for (int i = 0; i < kPaletteSize; ++i) {
    const ColorValue c = i == 0 ? first : rest;
    bytes += char(RedOf(c));
    bytes += char(GreenOf(c));
    bytes += char(BlueOf(c));
  }
  return bytes;
}

class PaletteCommandsTest : public AppFixture {
 protected:
  void SetUp() override {
    StartApp();
    QDir().mkpath(TempPath("pal"));
    for (int i = 0; i < kPaletteSize; ++i) Document().SetEntryColor(i, MakeColor(i, 1, 2));
  }

  QString StoredPaletteDirectory() {
    return ReadSetting(SettingsPath(), "Palette", "Palettepath", "<none>");
  }
  QStringList Messages() const {
    QStringList texts;
    for (const DialogCall& call : dialogs_.CallsOf("message")) texts << call.text;
    return texts;
  }
  bool PaletteIsTheInitialOne() {
    for (int i = 0; i < kPaletteSize; ++i)
      if (Document().GetEntryColor(i) != MakeColor(i, 1, 2)) return false;
    return true;
  }
  QStringList FilesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  }
};

TEST_F(PaletteCommandsTest, OpenAskesInTheCurrentDirectoryThenInTheLastOne) {
  const QString file = TempPath("pal/PALETTE.ACT");
  WriteBytes(file, ActOf(0x000000FF, 0x00336699));
  OpenPalette(file);
  OpenPalette(file);
  const auto opens = dialogs_.CallsOf("open");
  ASSERT_EQ(opens.size(), 2u);
  EXPECT_EQ(opens[0].title, "Open Palette");
  EXPECT_EQ(opens[0].directory, QDir::currentPath());
  EXPECT_EQ(opens[0].defaultName, "");
  EXPECT_EQ(opens[0].filter, kOpenFilter);
  EXPECT_EQ(opens[0].defaultExt, "act");
  EXPECT_EQ(opens[1].directory, TempPath("pal/"));
  EXPECT_EQ(StoredPaletteDirectory(), TempPath("pal/"));
  EXPECT_EQ(Document().GetEntryColor(0), 0x000000FF);
  EXPECT_EQ(Document().GetEntryColor(255), 0x00336699);
  EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(PaletteCommandsTest, OpenCancelledReadsAndStoresNothing) {
  dialogs_.AnswerOpen(std::nullopt);
  Trigger("mnu_op");
  EXPECT_EQ(StoredPaletteDirectory(), "<none>");
  EXPECT_TRUE(PaletteIsTheInitialOne());
}

TEST_F(PaletteCommandsTest, OpenLaysTheMainWindowOutAgainAndSaveDoesNot) {
  const QSize fitted = Main().size();
  Main().setFixedSize(fitted + QSize(40, 40));
  SavePalette(TempPath("pal/x.act"));
  EXPECT_EQ(Main().size(), fitted + QSize(40, 40));
  OpenPalette(TempPath("pal/x.jpg"));  // an ending no reader takes still lays the window out
  EXPECT_EQ(Main().size(), fitted);
}

TEST_F(PaletteCommandsTest, OpenWithOtherEndingReadsNothingButStoresTheDirectory) {
  WriteBytes(TempPath("pal/x.jpg"), ActOf(0, 0));
  OpenPalette(TempPath("pal/x.jpg"));
  EXPECT_TRUE(PaletteIsTheInitialOne());
  EXPECT_TRUE(Messages().isEmpty());
  EXPECT_EQ(StoredPaletteDirectory(), TempPath("pal/"));
}

TEST_F(PaletteCommandsTest, RejectedActWarnsAndKeepsThePalette) {
  WriteBytes(TempPath("pal/long.act"), ActOf(0, 0) + QByteArray("\x00\x10\xFF\xFF", 4));
  OpenPalette(TempPath("pal/long.act"));
  const auto messages = dialogs_.CallsOf("message");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, "Warning");
  EXPECT_EQ(messages[0].text, "This is not a valid PhotoShop ACT file!");
  EXPECT_EQ(messages[0].icon, MessageIcon::Critical);
  EXPECT_TRUE(PaletteIsTheInitialOne());
  EXPECT_EQ(StoredPaletteDirectory(), TempPath("pal/"));
}

TEST_F(PaletteCommandsTest, SixteenColorPalLeavesTheOtherEntriesAlone) {
  QByteArray text = "JASC-PAL\n0200\n16\n";
  for (int k = 0; k < 16; ++k) text += "9 8 7\n";
  WriteBytes(TempPath("pal/x.Pal"), text);
  OpenPalette(TempPath("pal/x.Pal"));
  EXPECT_EQ(Messages(), QStringList{"This file seems not to be a valid palette file from JASC, "
                                    "but operation will proceeded."});
  EXPECT_EQ(Document().GetEntryColor(15), MakeColor(9, 8, 7));
  EXPECT_EQ(Document().GetEntryColor(16), MakeColor(16, 1, 2));
}

TEST_F(PaletteCommandsTest, GifTableReplacesOnlyItsEntries) {
  TAVLO_SKIP_WITHOUT_CORPUS();
  OpenPalette(CorpusPath("gif/CPython-3.12.1__idle_folder.gif"));
  const QByteArray bytes = ReadBytes(CorpusPath("gif/CPython-3.12.1__idle_folder.gif"));
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(
        Document().GetEntryColor(i),
        MakeColor(uchar(bytes[13 + 3 * i]), uchar(bytes[14 + 3 * i]), uchar(bytes[15 + 3 * i])));
  EXPECT_EQ(Document().GetEntryColor(8), MakeColor(8, 1, 2));
  EXPECT_TRUE(Messages().isEmpty());
}

// A picture's transparent index comes with its table, in the same undo step, and the result window
// says so; a palette file without one leaves no transparent entry.
TEST_F(PaletteCommandsTest, APicturesTransparentIndexBecomesTheTransparentEntry) {
  const IndexedPicture picture{2, 1, {0, 3}, {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF}, 3};
  WriteBytes(TempPath("pal/clear.gif"), EncodeGif(picture).bytes);
  WriteBytes(TempPath("pal/clear.png"), EncodePng(picture).bytes);
  const QLabel* status = Main().Result()->findChild<QLabel*>("lblStatus");
  for (const char* file : {"pal/clear.gif", "pal/clear.png"}) {
    OpenPalette(TempPath(file));
    EXPECT_EQ(Document().TransparentEntry(), 3) << file;
    EXPECT_TRUE(status->text().contains("names entry 4 as transparent")) << file;
    Document().Undo();
    EXPECT_EQ(Document().TransparentEntry(), ResultSettings::kNoTransparentEntry) << file;
    EXPECT_FALSE(status->text().contains("transparent")) << file;
    Document().Redo();
  }
  WriteBytes(TempPath("pal/plain.act"), ActOf(0, 0));
  OpenPalette(TempPath("pal/plain.act"));
  EXPECT_EQ(Document().TransparentEntry(), ResultSettings::kNoTransparentEntry);
}

TEST_F(PaletteCommandsTest, MissingFileIsSkippedSilently) {
  OpenPalette(TempPath("pal/gone.pal"));
  EXPECT_TRUE(Messages().isEmpty());
  EXPECT_TRUE(PaletteIsTheInitialOne());
}

TEST_F(PaletteCommandsTest, FileThatCannotBeReadIsReportedWithItsReason) {
  for (const char* name : {"dir.act", "dir.pal", "dir.gif"}) {
    QDir().mkpath(TempPath(QString("pal/") + name));
    OpenPalette(TempPath(QString("pal/") + name));
  }
  const QStringList messages = Messages();
  ASSERT_EQ(messages.size(), 3);
  EXPECT_EQ(messages[0],
            "The file " + TempPath("pal/dir.act") + " could not be read:\nIs a directory");
  EXPECT_TRUE(messages[2].contains(TempPath("pal/dir.gif")));
  EXPECT_TRUE(PaletteIsTheInitialOne());
}

TEST_F(PaletteCommandsTest, SaveActWritesTheWholePaletteOverALongerFile) {
  Document().SetEntryColor(0, 0x00336699);
  WriteBytes(TempPath("pal/x.act"), QByteArray(772, 'z'));
  SavePalette(TempPath("pal/x.act"));
  const auto saves = dialogs_.CallsOf("save");
  ASSERT_EQ(saves.size(), 1u);
  EXPECT_EQ(saves[0].title, "Save Palette");
  EXPECT_EQ(saves[0].defaultName, "noname");
  EXPECT_EQ(saves[0].filter, kSaveFilter);
  EXPECT_EQ(saves[0].defaultExt, "act");
  EXPECT_EQ(saves[0].directory, QDir::currentPath());
  const QByteArray bytes = ReadBytes(TempPath("pal/x.act"));
  ASSERT_EQ(bytes.size(), 768);
  EXPECT_EQ(bytes.first(6), QByteArray("\x99\x66\x33\x01\x01\x02"));
  EXPECT_TRUE(dialogs_.CallsOf("yesno").empty());
  EXPECT_EQ(StoredPaletteDirectory(), TempPath("pal/"));

  // And it reads back unchanged.
  const PaletteColors saved = Document().Colors();
  for (int i = 0; i < kPaletteSize; ++i) Document().SetEntryColor(i, 0);
  OpenPalette(TempPath("pal/x.act"));
  EXPECT_EQ(Document().Colors(), saved);
}

TEST_F(PaletteCommandsTest, SavePalAsksForSixteenOrAll) {
  dialogs_.AnswerYesNo(true);
  SavePalette(TempPath("pal/few.PAL"));
  dialogs_.AnswerYesNo(false);
  SavePalette(TempPath("pal/all.pal"));
  const auto questions = dialogs_.CallsOf("yesno");
  ASSERT_EQ(questions.size(), 2u);
  EXPECT_EQ(questions[0].title, "16 or 256 color format");
  EXPECT_EQ(questions[0].text, "Do you wish to save only the first 16 colors?");
  const QByteArray few = ReadBytes(TempPath("pal/few.PAL"));
  EXPECT_TRUE(few.startsWith("JASC-PAL\r\n0100\r\n16\r\n0 1 2\r\n1 1 2\r\n"));
  EXPECT_EQ(few.count("\r\n"), 19);
  EXPECT_EQ(ReadBytes(TempPath("pal/all.pal")).count("\r\n"), 259);

  const PaletteColors saved = Document().Colors();
  for (int i = 0; i < kPaletteSize; ++i) Document().SetEntryColor(i, 0);
  OpenPalette(TempPath("pal/all.pal"));
  EXPECT_EQ(Document().Colors(), saved);
}

TEST_F(PaletteCommandsTest, SaveAcoAndTxtAskForTheRange) {
  WriteBytes(TempPath("pal/x.aco"), QByteArray(2564, 'z'));
  dialogs_.AnswerInputs({"5", "5"});
  SavePalette(TempPath("pal/x.aco"));
  EXPECT_EQ(ReadBytes(TempPath("pal/x.aco")),
            QByteArray("\x00\x01\x00\x01\x00\x00\x04\x04\x01\x01\x02\x02\x00\x00", 14));
  dialogs_.AnswerInputs({"17", "18"});
  SavePalette(TempPath("pal/x.txt"));
  EXPECT_EQ(ReadBytes(TempPath("pal/x.txt")),
            "ROWS 1\r\nCOLS 2\r\nWIDTH 16\r\nHEIGHT 16\r\nTEXTHEIGHT 0\r\nSPACING 1\r\n"
            "R: 016, G: 001, B: 002\r\nR: 017, G: 001, B: 002\r\n");
  const auto inputs = dialogs_.CallsOf("input");
  ASSERT_EQ(inputs.size(), 4u);
  EXPECT_EQ(inputs[0].title, "Select starting color");
  EXPECT_EQ(inputs[1].title, "Select endingcolor color");
  EXPECT_EQ(inputs[3].text, "Please select endingcolor by number (17-256)");
}

TEST_F(PaletteCommandsTest, CancelledRangeWritesNothingButStoresTheDirectory) {
  WriteBytes(TempPath("pal/old.aco"), "old");
  dialogs_.AnswerInputs({"3", ""});
  SavePalette(TempPath("pal/old.aco"));
  dialogs_.AnswerInput("");
  SavePalette(TempPath("pal/new.txt"));
  EXPECT_EQ(ReadBytes(TempPath("pal/old.aco")), "old");
  EXPECT_FALSE(QFile::exists(TempPath("pal/new.txt")));
  EXPECT_EQ(StoredPaletteDirectory(), TempPath("pal/"));
}

TEST_F(PaletteCommandsTest, SaveWithOtherEndingWritesNothingButStoresTheDirectory) {
  SavePalette(TempPath("pal/palette.bmp"));
  EXPECT_EQ(FilesIn(TempPath("pal")), QStringList());
  EXPECT_EQ(StoredPaletteDirectory(), TempPath("pal/"));
  dialogs_.AnswerSave(std::nullopt);
  Trigger("mnu_s16");
  EXPECT_EQ(StoredPaletteDirectory(), TempPath("pal/"));
}

TEST_F(PaletteCommandsTest, SaveThatCannotWriteReportsAndLeavesTheDiskAlone) {
  // A directory that does not exist, and a directory where the file should be.
  SavePalette(TempPath("missing/x.act"));
  QDir().mkpath(TempPath("pal/taken.act"));
  SavePalette(TempPath("pal/taken.act"));
  const QStringList messages = Messages();
  ASSERT_EQ(messages.size(), 2);
  EXPECT_TRUE(
      messages[0].startsWith("The file " + TempPath("missing/x.act") + " could not be written:\n"));
  EXPECT_GT(messages[0].size(), messages[0].indexOf('\n') + 1);  // the reason follows
  EXPECT_TRUE(messages[1].startsWith("The file " + TempPath("pal/taken.act")));
  EXPECT_FALSE(QDir(TempPath("missing")).exists());
  EXPECT_TRUE(QFileInfo(TempPath("pal/taken.act")).isDir());
  EXPECT_EQ(FilesIn(TempPath("pal")), QStringList{"taken.act"});
}

// The disk fills up halfway through the new file: simulated in a child process by a limit on the
// size of files it may write.
TEST_F(PaletteCommandsTest, FullDiskLeavesTheOldFileWhole) {
  const QString path = TempPath("pal/old.pal");
  const QByteArray old = "JASC-PAL\r\n0100\r\n16\r\n" + QByteArray(100, '1');
  WriteBytes(path, old);
  const int status = RunInChild({.maxFileBytes = 256}, [&] {
    SavePAL(nullptr, Document(), path, 256);
    const QStringList messages = Messages();
    return messages.size() == 1 && messages[0].startsWith("The file " + path) ? 0 : 1;
  });
  EXPECT_EQ(status, 0) << "no message naming the file";
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_EQ(FilesIn(TempPath("pal")), QStringList{"old.pal"});
}

}  // namespace
}  // namespace tavlo::testing
