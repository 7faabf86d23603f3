#include "formats/gif_format.h"

#include <gtest/gtest.h>

#include "formats/palette_formats.h"
#include "support/test_files.h"

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

// The blocks between the table and the first image name its transparent index in a Graphic
// Control Extension; an index beyond the table, a cleared flag or no image after it names none.
TEST(ReadGif, TheFirstImagesTransparentIndexWithinTheTable) {
  const QByteArray control5("\x21\xF9\x04\x01\x00\x00\x05\x00", 8);
  const QByteArray comment(
      "\x21\xFE\x03"
      "abc\x02"
      "de\x00",
      10);
  const QByteArray image("\x2C", 1);
  const QByteArray table16 = Gif("GIF89a", 0x83, 48).chopped(3);
  const struct {
    const char* name;
    QByteArray bytes;
    int transparent;
  } cases[] = {
      {"control then image", table16 + control5 + image, 5},
      {"comment, control, image", table16 + comment + control5 + image, 5},
      {"flag clear", table16 + QByteArray(control5).replace(3, 1, "\x00") + image, -1},
      {"index beyond a table of 4", Gif("GIF89a", 0x81, 12).chopped(3) + control5 + image, -1},
      {"no image after it", table16 + control5, -1},
      {"cut inside the extension", table16 + control5.first(5), -1},
      {"no extension", Gif("GIF89a", 0x83, 48), -1},
  };
  for (const auto& c : cases) {
    const PaletteRead read = ReadGif(c.bytes);
    EXPECT_FALSE(read.colors.empty()) << c.name;
    EXPECT_EQ(read.transparentEntry, c.transparent) << c.name;
  }
}

// Real files, with the transparent index Pillow finds in them; a PNG's is its first entry of
// alpha 0 in tRNS.
TEST(ReadPictureTables, CorpusFilesNameTheirTransparentEntry) {
  TAVLO_SKIP_WITHOUT_CORPUS();
  const struct {
    const char* file;
    int transparent;
  } cases[] = {
      {"gif/Pillow__transparent.gif", 255},
      {"gif/Pillow__transparent_dispose.gif", 2},
      {"gif/Pillow__test_extents_transparency.gif", 1},
      {"gif/Pillow__hopper.gif", -1},
      {"png/ocaml-imagelib__tbbn3p08.png", 0},
      {"png/ocaml-imagelib__tm3n3p02.png", 0},
      {"png/ColorPaletteCodable__midnight-ablaze-1x.png", -1},
  };
  for (const auto& c : cases) {
    const QString path = CorpusPath(QString::fromLatin1(c.file));
    const PaletteRead read = ReadPaletteFile(*FormatForName(path), path);
    EXPECT_FALSE(read.colors.empty()) << c.file;
    EXPECT_EQ(read.transparentEntry, c.transparent) << c.file;
  }
}

}  // namespace
}  // namespace tavlo::testing
