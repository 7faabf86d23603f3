#include "formats/act_format.h"

#include <gtest/gtest.h>

namespace tavlo::testing {
namespace {

PaletteColors Ramp() {
  PaletteColors colors{};
  for (int i = 0; i < kPaletteSize; ++i) colors[i] = MakeColor(i, 255 - i, (i * 7) & 0xFF);
  return colors;
}

TEST(ReadAct, RecordsBecomeEntriesRedFirst) {
  QByteArray bytes(kActFileSize, '\0');
  bytes[0] = char(0xFF);
  bytes[3 * 255 + 0] = 0x01;
  bytes[3 * 255 + 1] = 0x02;
  bytes[3 * 255 + 2] = 0x03;
  const PaletteRead read = ReadAct(bytes);
  ASSERT_EQ(read.colors.size(), 256u);
  EXPECT_TRUE(read.warnings.isEmpty());
  EXPECT_EQ(read.colors[0], 0x000000FF);
  EXPECT_EQ(read.colors[1], 0);
  EXPECT_EQ(read.colors[255], 0x00030201);
}

TEST(ReadAct, AnyLengthButTheTableIsRejected) {
  for (const qsizetype size : {qsizetype(0), qsizetype(767), qsizetype(769), qsizetype(772)}) {
    const PaletteRead read = ReadAct(QByteArray(size, '\x10'));
    EXPECT_TRUE(read.colors.empty()) << size;
    EXPECT_EQ(read.warnings, QStringList{"This is not a valid PhotoShop ACT file!"}) << size;
  }
}

TEST(WriteAct, WritesRedGreenBlueOfEveryEntry) {
  PaletteColors colors{};
  colors[0] = 0x00336699;
  colors[255] = 0x00FFFFFF;
  const QByteArray bytes = WriteAct(colors);
  ASSERT_EQ(bytes.size(), 768);
  EXPECT_EQ(bytes.first(3), QByteArray("\x99\x66\x33"));
  EXPECT_EQ(bytes.sliced(3, 3), QByteArray(3, '\0'));
  EXPECT_EQ(bytes.last(3), QByteArray(3, '\xFF'));
}

TEST(WriteAct, ReadsBackUnchanged) {
  const PaletteColors colors = Ramp();
  const PaletteRead read = ReadAct(WriteAct(colors));
  ASSERT_EQ(read.colors.size(), 256u);
  EXPECT_TRUE(std::equal(colors.begin(), colors.end(), read.colors.begin()));
}

}  // namespace
}  // namespace tavlo::testing
