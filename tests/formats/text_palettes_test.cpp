// The GIMP palette and hex list readers and writers.
#include <gtest/gtest.h>

#include "formats/gpl_format.h"
#include "formats/hex_format.h"

namespace tavlo::testing {
namespace {

PaletteColors Numbered() {
  PaletteColors colors{};
  for (int i = 0; i < kPaletteSize; ++i) colors[i] = MakeColor(i, (i * 7) & 0xFF, 255 - i);
  return colors;
}

std::vector<ColorValue> Slice(const PaletteColors& colors, int first, int last) {
  return {colors.begin() + first, colors.begin() + last + 1};
}

TEST(ReadGpl, ReadsTheLineFormsFoundInTheWild) {
  const QByteArray text =
      "\xEF\xBB\xBFGIMP Palette\r\n"
      "Name: Test\n"
      "Columns: 0\r"
      "#\n"
      "# a comment\n"
      "\n"
      "  0  43  54\tsolarized-base03\n"   // right-aligned, tab before the name
      "255 40  0   CUD red 255,40,0\r\n"  // left-aligned, a name with numbers in it
      "143 107\t 50\n"                    // a tab between numbers
      "022\t160\t133 zero padded\n"
      "1 2 3 4\n"  // without Channels: the fourth number is a name
      "   \t  \n"
      "7 8 9";  // no final line end
  const PaletteRead read = ReadGpl(text);
  EXPECT_TRUE(read.warnings.isEmpty()) << read.warnings.join('\n').toStdString();
  EXPECT_EQ(read.colors, (std::vector<ColorValue>{MakeColor(0, 43, 54), MakeColor(255, 40, 0),
                                                  MakeColor(143, 107, 50), MakeColor(22, 160, 133),
                                                  MakeColor(1, 2, 3), MakeColor(7, 8, 9)}));
}

TEST(ReadGpl, RgbaChannelsHaveAnAlphaNumberThatIsIgnored) {
  const PaletteRead read = ReadGpl("GIMP Palette\nChannels: RGBA\n#\n 34  32  52 128\tUntitled\n");
  EXPECT_TRUE(read.warnings.isEmpty());
  EXPECT_EQ(read.colors, std::vector<ColorValue>{MakeColor(34, 32, 52)});
}

TEST(ReadGpl, AnythingElseRefusesTheFileNamingTheLine) {
  const auto refusal = [](const QByteArray& text) {
    const PaletteRead read = ReadGpl(text);
    EXPECT_TRUE(read.colors.empty()) << text.toStdString();
    return read.warnings;
  };
  const QString badLine =
      "is not a GIMP palette: line %1 is neither a colour of numbers from 0 to 255 nor a comment.";
  EXPECT_EQ(refusal("JASC-PAL\n0100\n16\n"),
            QStringList{"is not a GIMP palette: its first line is not \"GIMP Palette\"."});
  EXPECT_EQ(refusal(""), QStringList{"is not a GIMP palette: its first line is not \"GIMP "
                                     "Palette\"."});
  EXPECT_EQ(refusal("GIMP Palette\n1 2 3\n256 0 0\n"), QStringList{badLine.arg(3)});
  EXPECT_EQ(refusal("GIMP Palette\n1 2\n"), QStringList{badLine.arg(2)});
  EXPECT_EQ(refusal("GIMP Palette\n1 2 3x\n"), QStringList{badLine.arg(2)});
  EXPECT_EQ(refusal("GIMP Palette\n-1 2 3\n"), QStringList{badLine.arg(2)});
  EXPECT_EQ(refusal("GIMP Palette\n1 2 3\nName: late\n"), QStringList{badLine.arg(3)});
  EXPECT_EQ(refusal("GIMP Palette\n99999999999999999999 0 0\n"), QStringList{badLine.arg(2)});
  EXPECT_EQ(refusal("GIMP Palette\nChannels: CMYK\n"),
            QStringList{"is not a GIMP palette: line 2 names channels other than RGB or RGBA."});
  EXPECT_EQ(refusal("GIMP Palette\nName: empty\n#\n"), QStringList{"holds no colours."});
}

TEST(ReadGpl, MoreThan256ColorsGiveTheFirst256AndSayHowManyWereLeftOut) {
  QByteArray text = "GIMP Palette\n";
  for (int k = 0; k < 300; ++k) text += QByteArray::number(k % 256) + " 0 0\n";
  const PaletteRead read = ReadGpl(text);
  ASSERT_EQ(read.colors.size(), 256u);
  EXPECT_EQ(read.colors[255], MakeColor(255, 0, 0));
  EXPECT_EQ(read.warnings,
            QStringList{"holds 300 colours; the first 256 were read and the other 44 left out."});
}

TEST(WriteGpl, HeaderThenOneAlignedLinePerEntryOfTheRange) {
  PaletteColors colors{};
  colors[4] = MakeColor(255, 128, 0);
  colors[5] = MakeColor(7, 42, 100);
  EXPECT_EQ(WriteGpl(colors, 4, 5, "sunset"),
            "GIMP Palette\nName: sunset\nColumns: 16\n"
            "255 128   0\tIndex 4\n"
            "  7  42 100\tIndex 5\n");
  // A name stays on its line whatever it holds.
  EXPECT_TRUE(WriteGpl(colors, 0, 0, "two\nlines").startsWith("GIMP Palette\nName: two lines\n"));
  EXPECT_TRUE(WriteGpl(colors, 0, 0, QString::fromUtf8("Frapp\u00e9"))
                  .contains(QByteArray("Name: Frapp\xC3\xA9\n")));
}

TEST(WriteHex, LowercaseCodesOnePerLine) {
  PaletteColors colors{};
  colors[0] = MakeColor(0xAB, 0x0C, 0xEF);
  colors[2] = MakeColor(0xFF, 0xFF, 0xFF);
  EXPECT_EQ(WriteHex(colors, 0, 2), "ab0cef\n000000\nffffff\n");
}

TEST(ReadHex, CodesWithOrWithoutHashInEitherCase) {
  const PaletteRead read = ReadHex(
      "\xEF\xBB\xBF# Sweetie 16 \xE2\x80\x94 a comment\r\n"
      "#Palette name\r\n"
      "\r\n"
      "#FF8000\r\n"
      "  abcdef  \r"
      "5e315bBB\n"  // eight digits: the alpha is ignored
      "#\n"
      "000000");
  EXPECT_TRUE(read.warnings.isEmpty()) << read.warnings.join('\n').toStdString();
  EXPECT_EQ(read.colors,
            (std::vector<ColorValue>{MakeColor(0xFF, 0x80, 0), MakeColor(0xAB, 0xCD, 0xEF),
                                     MakeColor(0x5E, 0x31, 0x5B), 0}));
}

TEST(ReadHex, ALineThatIsNoColorRefusesTheFile) {
  for (const QByteArray line : {"#abc", "fff", "12345g", "ff8000 red", "#ff0000ff00", "0x123456",
                                "ff8000,00ff00", "#Colors: 36"}) {
    const PaletteRead read = ReadHex("000000\n" + line + "\n");
    EXPECT_TRUE(read.colors.empty()) << line.toStdString();
    EXPECT_EQ(read.warnings,
              QStringList{"is not a hex list: line 2 is not a colour of six hex digits."});
  }
  EXPECT_EQ(ReadHex("\n\n# nothing\n").warnings, QStringList{"holds no colours."});
}

TEST(TextPaletteRoundTrip, AllEntriesAndARangeReadBackUnchanged) {
  const PaletteColors colors = Numbered();
  for (const auto& [first, last] : {std::pair{0, 255}, std::pair{17, 42}, std::pair{255, 255}}) {
    SCOPED_TRACE(first);
    const PaletteRead gpl = ReadGpl(WriteGpl(colors, first, last, "x"));
    EXPECT_TRUE(gpl.warnings.isEmpty());
    EXPECT_EQ(gpl.colors, Slice(colors, first, last));
    const PaletteRead hex = ReadHex(WriteHex(colors, first, last));
    EXPECT_TRUE(hex.warnings.isEmpty());
    EXPECT_EQ(hex.colors, Slice(colors, first, last));
  }
}

}  // namespace
}  // namespace tavlo::testing
