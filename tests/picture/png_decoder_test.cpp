// The PNG decoder against libpng: the same format and pixels for every kind (each colour type and
// bit depth, with and without tRNS, interlaced or not, written here by libpng), for the PNGs of
// the shared corpus and for the PngSuite, the colour space Qt's reader finds; damaged PNGs give a
// reason, never a crash.
#include "picture/png_decoder.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <QBuffer>
#include <QColorSpace>
#include <QDir>
#include <QImageReader>
#include <random>
#include <vector>

#include "picture/picture_loader.h"
#include "support/libpng_reference.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

struct PngKind {
  int colorType;
  int depth;
  bool trns = false;
  bool interlaced = false;
  enum class Stated { Nothing, GammaAndChromaticities, IccProfile } stated = Stated::Nothing;
};

// A 37 x 23 PNG of random samples (the tRNS key among them), written by libpng.
QByteArray WritePng(const PngKind& kind) {
  constexpr int kWidth = 37, kHeight = 23;
  std::mt19937 random(unsigned(kind.colorType * 100 + kind.depth * 2 + kind.interlaced));
  const int channels = kind.colorType == PNG_COLOR_TYPE_GRAY         ? 1
                       : kind.colorType == PNG_COLOR_TYPE_PALETTE    ? 1
                       : kind.colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                       : kind.colorType == PNG_COLOR_TYPE_RGB        ? 3
                                                                     : 4;
  const int bytesPerSample = kind.depth == 16 ? 2 : 1;
  const int levels =
      kind.colorType == PNG_COLOR_TYPE_PALETTE ? std::min(1 << kind.depth, 200) : 1 << kind.depth;
  std::uniform_int_distribution<int> sample(0, levels - 1);
  const std::size_t rowBytes = std::size_t(kWidth * channels * kind.depth + 7) / 8;
  std::vector<std::vector<png_byte>> rows(kHeight, std::vector<png_byte>(rowBytes, 0));
  for (auto& row : rows)
    for (int s = 0; s < kWidth * channels; ++s) {
      const int value = sample(random) % 5 == 0 ? 0 : sample(random);  // 0 is the tRNS key
      if (kind.depth < 8)
        row[std::size_t(s * kind.depth / 8)] |=
            png_byte(value << (8 - kind.depth - s * kind.depth % 8));
      else if (bytesPerSample == 2)
        row[std::size_t(2 * s)] = png_byte(value >> 8),
                            row[std::size_t(2 * s + 1)] = png_byte(value);
      else
        row[std::size_t(s)] = png_byte(value);
    }
  QByteArray bytes;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &bytes,
      [](png_structp p, png_bytep data, png_size_t length) {
        static_cast<QByteArray*>(png_get_io_ptr(p))
            ->append(reinterpret_cast<char*>(data), qsizetype(length));
      },
      nullptr);
  png_set_IHDR(png, info, kWidth, kHeight, kind.depth, kind.colorType,
               kind.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  std::vector<png_byte> alphas;
  if (kind.colorType == PNG_COLOR_TYPE_PALETTE) {
    for (int i = 0; i < levels; ++i)
      palette.push_back({png_byte(i * 37), png_byte(255 - i), png_byte(i * 91)});
    png_set_PLTE(png, info, palette.data(), int(palette.size()));
    for (int i = 0; i < levels / 2 + 1; ++i) alphas.push_back(png_byte(i * 53));
  }
  png_color_16 key{};
  if (kind.trns)
    png_set_tRNS(png, info, alphas.data(), int(alphas.size()), alphas.empty() ? &key : nullptr);
  if (kind.stated == PngKind::Stated::GammaAndChromaticities) {
    png_set_gAMA(png, info, 0.5);
    png_set_cHRM(png, info, 0.3127, 0.329, 0.64, 0.33, 0.3, 0.6, 0.15, 0.06);
  }
  const QByteArray profile = QColorSpace(QColorSpace::AdobeRgb).iccProfile();
  if (kind.stated == PngKind::Stated::IccProfile)
    png_set_iCCP(png, info, "Adobe", 0, reinterpret_cast<png_const_bytep>(profile.constData()),
                 png_uint_32(profile.size()));
  png_write_info(png, info);
  if (kind.interlaced) png_set_interlace_handling(png);
  std::vector<png_bytep> pointers;
  for (auto& row : rows) pointers.push_back(row.data());
  png_write_image(png, pointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return bytes;
}

QImage ReadWithQt(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "png");
  return reader.read();
}

void ExpectAsLibpngReadsIt(const QByteArray& bytes, const std::string& what) {
  const QImage expected = ReadPngAsLibpngDoes(bytes);
  ASSERT_FALSE(expected.isNull()) << what;
  const DecodedPng decoded = DecodePng(bytes);
  ASSERT_FALSE(decoded.image.isNull()) << what << ": " << decoded.error.toStdString();
  EXPECT_EQ(decoded.image.format(), expected.format()) << what;
  EXPECT_EQ(decoded.image.colorSpace(), ReadWithQt(bytes).colorSpace()) << what;
  QImage pixels = decoded.image;  // compared without the colour space, which images compare too
  pixels.setColorSpace(QColorSpace());
  EXPECT_TRUE(pixels == expected) << what;
}

TEST(DecodePng, ReadsEveryKindOfPngAsLibpngDoes) {
  const int grey = PNG_COLOR_TYPE_GRAY, palette = PNG_COLOR_TYPE_PALETTE,
            greyAlpha = PNG_COLOR_TYPE_GRAY_ALPHA, rgb = PNG_COLOR_TYPE_RGB,
            rgba = PNG_COLOR_TYPE_RGB_ALPHA;
  const auto gamma = PngKind::Stated::GammaAndChromaticities;
  const auto icc = PngKind::Stated::IccProfile;
  const PngKind kinds[] = {
      {rgb, 8, false, false, gamma},
      {rgba, 8, false, false, icc},
      {grey, 1},
      {grey, 2},
      {grey, 4},
      {grey, 8},
      {grey, 16},
      {grey, 1, true},
      {grey, 4, true},
      {grey, 8, true},
      {grey, 16, true},
      {palette, 1},
      {palette, 2},
      {palette, 4},
      {palette, 8},
      {palette, 4, true},
      {palette, 8, true},
      {greyAlpha, 8},
      {greyAlpha, 16},
      {rgb, 8},
      {rgb, 16},
      {rgb, 8, true},
      {rgba, 8},
      {rgba, 16},
      {rgb, 16, true},
      {grey, 1, false, true},
      {palette, 2, true, true},
      {greyAlpha, 8, false, true},
      {rgb, 8, false, true},
      {rgba, 16, false, true},
  };
  for (const PngKind& kind : kinds)
    ExpectAsLibpngReadsIt(WritePng(kind),
                          "colour type " + std::to_string(kind.colorType) + ", depth " +
                              std::to_string(kind.depth) + (kind.trns ? ", tRNS" : "") +
                              (kind.interlaced ? ", interlaced" : "") +
                              (kind.stated != PngKind::Stated::Nothing ? ", colour space" : ""));
}

TEST(DecodePng, ReadsThePngsOfTheCorpusAndThePngSuiteAsLibpngDoes) {
  TAVLO_SKIP_WITHOUT_CORPUS();
  for (const char* folder : {"png", "pngsuite"}) {
    const QDir dir(CorpusPath(QString::fromLatin1(folder)));
    const QStringList names = dir.entryList({QStringLiteral("*.png")}, QDir::Files);
    EXPECT_FALSE(names.isEmpty()) << folder;
    for (const QString& name : names)
      ExpectAsLibpngReadsIt(ReadBytes(dir.filePath(name)), name.toStdString());
  }
}

// A pixel whose index is past the end of PLTE is opaque black, as libpng makes it.
TEST(DecodePng, AnIndexPastThePaletteIsOpaqueBlack) {
  QByteArray bytes = WritePng({PNG_COLOR_TYPE_PALETTE, 4});
  // The palette of 16 entries cut to 3 (its CRC made anew), so that most indexes point past it.
  const qsizetype plte = bytes.indexOf("PLTE") - 4;
  QByteArray chunk = QByteArray::fromHex("00000009") + "PLTE" + bytes.mid(plte + 8, 9);
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(chunk.constData() + 4), 13);
  for (int shift = 24; shift >= 0; shift -= 8) chunk.append(char((crc >> shift) & 0xFF));
  bytes.replace(plte, 12 + 48, chunk);
  const DecodedPng decoded = DecodePng(bytes);
  ASSERT_FALSE(decoded.image.isNull()) << decoded.error.toStdString();
  const QImage expected = ReadPngAsLibpngDoes(bytes);
  EXPECT_TRUE(decoded.image == expected);
  int black = 0;
  for (int y = 0; y < expected.height(); ++y)
    for (int x = 0; x < expected.width(); ++x) black += expected.pixel(x, y) == 0xFF000000u;
  EXPECT_GT(black, expected.width() * expected.height() / 2);
}

// Cut anywhere before its last picture data, or with a byte of that data changed, a PNG gives a
// reason; the picture loader says the picture is damaged.
TEST(DecodePng, RefusesDamagedPngsWithAReason) {
  const QByteArray whole = WritePng({PNG_COLOR_TYPE_RGB, 8});
  const qsizetype end = whole.lastIndexOf("IEND") - 4;
  std::vector<QByteArray> damaged;
  for (qsizetype cut = 8; cut < end; cut += 13) damaged.push_back(whole.left(cut));
  QByteArray flipped = whole;
  flipped[whole.indexOf("IDAT") + 20] = char(flipped[whole.indexOf("IDAT") + 20] ^ 0x55);
  damaged.push_back(flipped);
  for (const QByteArray& bytes : damaged) {
    const DecodedPng decoded = DecodePng(bytes);
    EXPECT_TRUE(decoded.image.isNull()) << bytes.size();
    EXPECT_FALSE(decoded.error.isEmpty()) << bytes.size();
  }
  const PictureResult loaded = DecodePicture(flipped);
  EXPECT_FALSE(loaded.ok());
  EXPECT_TRUE(loaded.error.contains(QStringLiteral("damaged"))) << loaded.error.toStdString();
}

}  // namespace
}  // namespace tavlo::testing
