#include <gtest/gtest.h>
#include <QList>

#include "formats/aco_format.h"
#include "formats/painter_txt_format.h"

namespace tavlo::testing {
namespace {

PaletteColors Numbered() {
  PaletteColors colors{};
  for (int i = 0; i < kPaletteSize; ++i) colors[i] = MakeColor(i, 0, 255 - i);
  return colors;
}

TEST(WriteAco, HeaderAndRecordOfEachEntry) {
  PaletteColors colors{};
  colors[0] = 0x000080FF;
  const QByteArray all = WriteAco(colors, 0, 255);
  ASSERT_EQ(all.size(), 2564);
  EXPECT_EQ(all.first(4), QByteArray("\x00\x01\x01\x00", 4));
  EXPECT_EQ(all.sliced(4, 10), QByteArray("\x00\x00\xFF\xFF\x80\x80\x00\x00\x00\x00", 10));
}

TEST(WriteAco, SingleEntryRange) {
  const QByteArray one = WriteAco(Numbered(), 4, 4);
  EXPECT_EQ(one, QByteArray("\x00\x01\x00\x01"
                            "\x00\x00\x04\x04\x00\x00\xFB\xFB\x00\x00",
                            14));
}

QList<QByteArray> Lines(const QByteArray& text) {
  EXPECT_TRUE(text.endsWith("\r\n"));
  QList<QByteArray> lines = text.split('\n');
  lines.removeLast();
  for (QByteArray& line : lines) {
    EXPECT_TRUE(line.endsWith('\r'));
    line.chop(1);
  }
  return lines;
}

TEST(WritePainterTxt, HeaderRowsAndColumnsFollowTheCount) {
  const PaletteColors colors = Numbered();
  const auto header = [&](int first, int last) {
    return Lines(WritePainterTxt(colors, first, last)).first(6);
  };
  const QList<QByteArray> fixed = {"WIDTH 16", "HEIGHT 16", "TEXTHEIGHT 0", "SPACING 1"};
  EXPECT_EQ(header(0, 255), (QList<QByteArray>{"ROWS 16", "COLS 16"} + fixed));
  EXPECT_EQ(header(0, 15), (QList<QByteArray>{"ROWS 1", "COLS 16"} + fixed));
  EXPECT_EQ(header(0, 16), (QList<QByteArray>{"ROWS 2", "COLS 16"} + fixed));
  EXPECT_EQ(header(2, 2), (QList<QByteArray>{"ROWS 1", "COLS 1"} + fixed));
  EXPECT_EQ(Lines(WritePainterTxt(colors, 0, 255)).size(), 262);
}

TEST(WritePainterTxt, ColorLinesAreZeroPaddedInRangeOrder) {
  PaletteColors colors{};
  colors[2] = 0x000080FF;
  colors[3] = MakeColor(7, 42, 0);
  const QList<QByteArray> lines = Lines(WritePainterTxt(colors, 1, 3));
  ASSERT_EQ(lines.size(), 9);
  EXPECT_EQ(lines[6], "R: 000, G: 000, B: 000");
  EXPECT_EQ(lines[7], "R: 255, G: 128, B: 000");
  EXPECT_EQ(lines[8], "R: 007, G: 042, B: 000");
}

}  // namespace
}  // namespace tavlo::testing
