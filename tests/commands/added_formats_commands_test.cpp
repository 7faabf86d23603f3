// "Open palette" and "Save palette" with the formats added to the first four: driven from the
// File menu of the running program with scripted dialogs and real files.
#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QImage>

#include "formats/palette_formats.h"
#include "palette_model/palette_document.h"
#include "store/settings_store.h"
#include "support/app_fixture.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

class AddedFormatsTest : public AppFixture {
 protected:
  void SetUp() override {
    StartApp();
    QDir().mkpath(TempPath("pal"));
    for (int i = 0; i < kPaletteSize; ++i) Document().SetEntryColor(i, MakeColor(i, 1, 2));
    Document().MoveSelectionTo(9);
    initial_ = Document().Colors();
  }

  QStringList Messages() const {
    QStringList texts;
    for (const DialogCall& call : dialogs_.CallsOf("message")) texts << call.text;
    return texts;
  }
  // The first `count` entries hold `colours`, the others are as before.
  void ExpectLeadingEntries(const std::vector<ColorValue>& colors) {
    for (int i = 0; i < kPaletteSize; ++i) {
      const ColorValue expected = i < int(colors.size()) ? colors[size_t(i)] : initial_[size_t(i)];
      ASSERT_EQ(Document().GetEntryColor(i), expected) << i;
    }
  }

  PaletteColors initial_{};
};

TEST_F(AddedFormatsTest, EachFormatOpensAsOneUndoStepWithTheSelectionOnTheFirstEntry) {
  TAVLO_SKIP_WITHOUT_CORPUS();
  QImage bmp(4, 4, QImage::Format_Indexed8);
  bmp.setColorTable({0xFF102030, 0xFF405060, 0xFF708090});
  bmp.fill(0);
  ASSERT_TRUE(bmp.save(TempPath("pal/three.bmp"), "BMP"));
  const QList<QPair<QString, std::vector<ColorValue>>> files = {
      {CorpusPath("gpl/solarized__solarized.gpl"), {MakeColor(0, 43, 54), MakeColor(7, 54, 66)}},
      {CorpusPath("hex/Cube-Land__palette.hex"), {}},
      {CorpusPath("ase/kubohisa-Swatchs__ColorsOfJapan.ase"), {}},
      {CorpusPath("aco/ColorPaletteCodable__Zeldman-v1.aco"), {}},
      {CorpusPath("png/ColorPaletteCodable__midnight-ablaze-1x.png"), {}},
      {TempPath("pal/three.bmp"),
       {MakeColor(0x10, 0x20, 0x30), MakeColor(0x40, 0x50, 0x60), MakeColor(0x70, 0x80, 0x90)}},
  };
  for (const auto& [path, leading] : files) {
    SCOPED_TRACE(path.toStdString());
    Document().MoveSelectionTo(9);
    OpenPalette(path);
    EXPECT_TRUE(Messages().isEmpty()) << Messages().join('\n').toStdString();
    EXPECT_NE(Document().Colors(), initial_);
    for (size_t i = 0; i < leading.size(); ++i)
      EXPECT_EQ(Document().GetEntryColor(int(i)), leading[i]);
    EXPECT_EQ(Document().GetEntryColor(255), initial_[255]);
    EXPECT_EQ(Document().SelectedEntry(), 0);
    EXPECT_TRUE(Document().SelectionFrameShown(0));
    EXPECT_FALSE(Document().SelectionFrameShown(9));
    EXPECT_FALSE(Document().IsModified());
    EXPECT_EQ(Document().UndoName(), "Open palette");
    ASSERT_TRUE(Document().Undo());
    EXPECT_EQ(Document().Colors(), initial_);
    EXPECT_EQ(Document().SelectedEntry(), 9);
  }
  EXPECT_EQ(ReadSetting(SettingsPath(), "Palette", "Palettepath", ""), TempPath("pal/"));
}

TEST_F(AddedFormatsTest, ARiffPaletteNamedPalIsReadAsOne) {
  TAVLO_SKIP_WITHOUT_CORPUS();
  OpenPalette(CorpusPath("pal/ColorPaletteCodable__arne-v20-16.pal"));
  EXPECT_TRUE(Messages().isEmpty()) << Messages().join('\n').toStdString();
  const QByteArray bytes = ReadBytes(CorpusPath("pal/ColorPaletteCodable__arne-v20-16.pal"));
  std::vector<ColorValue> colors;
  for (int i = 0; i < 16; ++i)
    colors.push_back(
        MakeColor(uchar(bytes[24 + 4 * i]), uchar(bytes[25 + 4 * i]), uchar(bytes[26 + 4 * i])));
  ExpectLeadingEntries(colors);
}

TEST_F(AddedFormatsTest, ARefusedFileGivesOneWarningNamingItAndChangesNothing) {
  for (const char* name : {"bad.gpl", "bad.hex", "bad.ase", "bad.aco", "bad.png", "bad.bmp"}) {
    WriteBytes(TempPath("pal/") + name, "12 34\n");
    OpenPalette(TempPath("pal/") + name);
  }
  const QStringList messages = Messages();
  ASSERT_EQ(messages.size(), 6);
  EXPECT_EQ(messages[0], "The file " + TempPath("pal/bad.gpl") +
                             " is not a GIMP palette: its first line is not \"GIMP Palette\".");
  EXPECT_EQ(messages[1], "The file " + TempPath("pal/bad.hex") +
                             " is not a hex list: line 1 is not a colour of six hex digits.");
  for (const QString& message : messages)
    EXPECT_TRUE(message.startsWith("The file " + TempPath("pal/bad.")));
  for (const DialogCall& call : dialogs_.CallsOf("message")) EXPECT_EQ(call.title, "Warning");
  EXPECT_EQ(Document().Colors(), initial_);
  EXPECT_EQ(Document().SelectedEntry(), 9);
  EXPECT_FALSE(Document().CanUndo() && Document().UndoName() == "Open palette");
}

TEST_F(AddedFormatsTest, MoreThan256ColorsFillThePaletteWithOneWarning) {
  TAVLO_SKIP_WITHOUT_CORPUS();
  OpenPalette(CorpusPath("hex/ColorPaletteCodable__behr.hex"));
  EXPECT_EQ(Messages(), QStringList{"The file " + CorpusPath("hex/ColorPaletteCodable__behr.hex") +
                                    " holds 4696 colours; the first 256 were read and the other "
                                    "4440 left out."});
  EXPECT_EQ(Document().GetEntryColor(0), MakeColor(0xF9, 0xEC, 0xFC));
  EXPECT_EQ(Document().UndoName(), "Open palette");
}

TEST_F(AddedFormatsTest, AFileLargerThanAPaletteFileHoldsIsRefused) {
  QByteArray huge = "GIMP Palette\n";
  while (huge.size() <= kPaletteBytesRead) huge += QByteArray(1 << 20, '#') + '\n';
  WriteBytes(TempPath("pal/huge.gpl"), huge);
  OpenPalette(TempPath("pal/huge.gpl"));
  EXPECT_EQ(Messages(), QStringList{"The file " + TempPath("pal/huge.gpl") +
                                    " is larger than 4 MB, more than a palette file holds."});
  EXPECT_EQ(Document().Colors(), initial_);
}

TEST_F(AddedFormatsTest, GplAndHexSaveTheRangeAskedForAndReadBackTheSame) {
  dialogs_.AnswerInputs({"3", "4"});
  SavePalette(TempPath("pal/My Colours.gpl"));
  EXPECT_EQ(
      ReadBytes(TempPath("pal/My Colours.gpl")),
      "GIMP Palette\nName: My Colours\nColumns: 16\n  2   1   2\tIndex 2\n  3   1   2\tIndex 3\n");
  dialogs_.AnswerInputs({"255", "256"});
  SavePalette(TempPath("pal/x.HEX"));
  EXPECT_EQ(ReadBytes(TempPath("pal/x.HEX")), "fe0102\nff0102\n");
  const auto inputs = dialogs_.CallsOf("input");
  ASSERT_EQ(inputs.size(), 4u);
  EXPECT_EQ(inputs[0].title, "Select starting color");
  EXPECT_EQ(inputs[1].title, "Select endingcolor color");
  EXPECT_TRUE(dialogs_.CallsOf("yesno").empty());

  // All 256 entries, written and read again through the menu.
  for (const char* name : {"all.gpl", "all.hex"}) {
    dialogs_.AnswerInputs({"1", "256"});
    SavePalette(TempPath("pal/") + name);
    Document().Apply("Clear", PaletteColors{});
    OpenPalette(TempPath("pal/") + name);
    EXPECT_EQ(Document().Colors(), initial_) << name;
  }
  EXPECT_TRUE(Messages().isEmpty()) << Messages().join('\n').toStdString();
}

TEST_F(AddedFormatsTest, ACancelledRangeWritesNothing) {
  dialogs_.AnswerInput("");
  SavePalette(TempPath("pal/x.gpl"));
  dialogs_.AnswerInputs({"2", ""});
  SavePalette(TempPath("pal/x.hex"));
  EXPECT_EQ(QDir(TempPath("pal")).entryList(QDir::Files), QStringList());
}

TEST_F(AddedFormatsTest, FormatsThatAreOnlyReadAreNotWritten) {
  for (const char* name : {"x.ase", "x.png", "x.bmp", "x.gif"})
    SavePalette(TempPath("pal/") + name);
  EXPECT_EQ(QDir(TempPath("pal")).entryList(QDir::Files), QStringList());
  EXPECT_TRUE(dialogs_.CallsOf("input").empty());
}

}  // namespace
}  // namespace tavlo::testing
