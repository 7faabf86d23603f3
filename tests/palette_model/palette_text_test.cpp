#include "palette_model/palette_text.h"

#include <gtest/gtest.h>

namespace tavlo {
namespace {

TEST(PaletteText, HexByteIsTheLowByteInTwoUpperCaseDigits) {
  EXPECT_EQ(HexByte(0), "00");
  EXPECT_EQ(HexByte(10), "0A");
  EXPECT_EQ(HexByte(255), "FF");
  EXPECT_EQ(HexByte(256), "00");
  EXPECT_EQ(HexByte(4095), "FF");
  EXPECT_EQ(HexByte(-1), "FF");
}

TEST(PaletteText, PadLeft3KeepsTheLastThreeCharacters) {
  EXPECT_EQ(PadLeft3(0), "  0");
  EXPECT_EQ(PadLeft3(5), "  5");
  EXPECT_EQ(PadLeft3(42), " 42");
  EXPECT_EQ(PadLeft3(255), "255");
  EXPECT_EQ(PadLeft3(1234), "234");
}

TEST(PaletteText, EntryInfoOfBlackWhiteAndOrange) {
  EntryInfoTexts black = EntryInfoFor(0);
  EXPECT_EQ(black.hex, "000000");
  for (const QString& line : black.channels) EXPECT_EQ(line, "  0 00");
  EntryInfoTexts white = EntryInfoFor(0x00FFFFFF);
  EXPECT_EQ(white.hex, "FFFFFF");
  for (const QString& line : white.channels) EXPECT_EQ(line, "255 FF");
  EntryInfoTexts orange = EntryInfoFor(0x000080FF);
  EXPECT_EQ(orange.hex, "FF8000");
  EXPECT_EQ(orange.channels[0], "255 FF");
  EXPECT_EQ(orange.channels[1], "128 80");
  EXPECT_EQ(orange.channels[2], "  0 00");
  EXPECT_EQ(EntryInfoFor(MakeColor(0, 8, 0)).channels[1], "  8 08");
}

TEST(PaletteText, SwatchTooltipHasTwoLines) {
  EXPECT_EQ(SwatchTooltip(0, 0x000000FF), "n: 1\r\n#: FF0000");
  EXPECT_EQ(SwatchTooltip(255, 0x00FFFFFF), "n: 256\r\n#: FFFFFF");
}

}  // namespace
}  // namespace tavlo
