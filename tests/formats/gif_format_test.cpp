#include "formats/gif_format.h"

#include <gtest/gtest.h>

namespace tavlo::testing {
namespace {

// Header and screen descriptor with the given signature and packed fields, then `tableBytes`
// bytes of table where record i is (i, 255 - i, 7).
QByteArray Gif(const QByteArray& signature, unsigned char packed, qsizetype tableBytes) {
  QByteArray bytes = signature;
  bytes += QByteArray("\x10\x00\x10\x00", 4);
  bytes += char(packed);
  bytes += QByteArray("\x00\x00", 2);
  for (qsizetype b = 0; b < tableBytes; ++b) {
    const int i = int(b / 3);
    bytes += char(b % 3 == 0 ? i : b % 3 == 1 ? 255 - i : 7);
  }
  return bytes + QByteArray("\x2C\x00\x00", 3);  // what follows the table is never looked at
}

TEST(ReadGif, GlobalTableOf256Colors) {
  const PaletteRead read = ReadGif(Gif("GIF89a", 0xF7, 768));
  EXPECT_TRUE(read.warnings.isEmpty());
  ASSERT_EQ(read.colors.size(), 256u);
  EXPECT_EQ(read.colors[0], MakeColor(0, 255, 7));
  EXPECT_EQ(read.colors[255], MakeColor(255, 0, 7));
}

TEST(ReadGif, TableSizeFollowsTheSizeBits) {
  EXPECT_EQ(ReadGif(Gif("GIF87a", 0x83, 48)).colors.size(), 16u);
  EXPECT_EQ(ReadGif(Gif("GIF87a", 0x80, 6)).colors.size(), 2u);
  EXPECT_EQ(ReadGif(Gif("GIF89a", 0xC4, 96)).colors.size(), 32u);
}

TEST(ReadGif, FirstRecordFF8000IsOrange) {
  QByteArray bytes = Gif("GIF89a", 0x80, 6);
  bytes[13] = char(0xFF);
  bytes[14] = char(0x80);
  bytes[15] = 0x00;
  EXPECT_EQ(ReadGif(bytes).colors[0], 0x000080FF);
}

TEST(ReadGif, OtherSignaturesNoTableAndShortFilesGiveNothing) {
  const QList<QByteArray> nothing = {
      Gif("GIF88a", 0xF7, 768), Gif("gif89a", 0xF7, 768),
      Gif("GIF87A", 0xF7, 768), Gif("GIF89a", 0x77, 768),  // size bits set, table flag clear
      Gif("GIF89a", 0x00, 0),   Gif("GIF89a", 0xF7, 768).first(13 + 767),
      QByteArray("GIF89a\x10"), QByteArray(),
  };
  for (const QByteArray& bytes : nothing) {
    const PaletteRead read = ReadGif(bytes);
    EXPECT_TRUE(read.colors.empty())
        << bytes.first(std::min<qsizetype>(bytes.size(), 11)).toHex().constData();
    EXPECT_TRUE(read.warnings.isEmpty());
  }
}

}  // namespace
}  // namespace tavlo::testing
