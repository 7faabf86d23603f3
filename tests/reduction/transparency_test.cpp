// Pictures with alpha reduced with a transparent entry: the GIF and PNG files read back by giflib,
// Qt and Pillow show clear exactly the pixels below the threshold and every other pixel in the
// nearest entry but the transparent one to its colour laid over the matte; the figures agree.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>
#include <random>

#include "color_science/ciede2000.h"
#include "colorlib/tavlo_color.h"
#include "reduction/from_image.h"
#include "reduction/gif_encoder.h"
#include "reduction/png_encoder.h"
#include "reduction/result_figures.h"
#include "support/named_colors.h"
#include "support/picture_decoding.h"
#include "support/random_pictures.h"

namespace tavlo::testing {
namespace {

constexpr int kTransparent = 3;  // the transparent entry's position in the range

std::vector<ColorValue> Entries(std::mt19937& random) {
  std::vector<ColorValue> entries(16);
  for (auto& c : entries) c = static_cast<ColorValue>(random() & 0xFFFFFF);
  return entries;
}

int Alpha(const QImage& logo, size_t pixel) {
  return qAlpha(logo.pixel(int(pixel % size_t(logo.width())), int(pixel / size_t(logo.width()))));
}

// The index each pixel should have, found by the colour library's own preview of the picture
// laid over the matte, reduced to the entries but the transparent one.
std::vector<std::uint8_t> ExpectedIndexes(const QImage& logo,
                                          const std::vector<ColorValue>& entries,
                                          const AlphaRule& alpha) {
  std::vector<ColorValue> opaque = entries;
  opaque.erase(opaque.begin() + kTransparent);
  QImage over(logo.size(), QImage::Format_RGB32);
  for (int y = 0; y < logo.height(); ++y)
    for (int x = 0; x < logo.width(); ++x)
      over.setPixel(x, y, ToRgbPixel(OverMatte(logo.pixel(x, y), alpha.matte)) | 0xFF000000u);
  PreViewImage(reinterpret_cast<std::uint32_t*>(over.bits()), over.width(), over.height(),
               static_cast<std::int32_t>(over.bytesPerLine()), opaque.data(),
               static_cast<std::int32_t>(opaque.size()));
  std::vector<std::uint8_t> indexes;
  for (int y = 0; y < logo.height(); ++y)
    for (int x = 0; x < logo.width(); ++x) {
      if (qAlpha(logo.pixel(x, y)) < alpha.threshold) {
        indexes.push_back(kTransparent);
        continue;
      }
      const ColorValue shown = FromRgbPixel(over.pixel(x, y));
      const auto at = std::find(opaque.begin(), opaque.end(), shown) - opaque.begin();
      indexes.push_back(static_cast<std::uint8_t>(at < kTransparent ? at : at + 1));
    }
  return indexes;
}

QImage ReadPngWithQt(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  return QImageReader(&buffer, "png").read().convertToFormat(QImage::Format_ARGB32);
}

TEST(TransparentExport, FilesShowClearExactlyBelowTheThresholdAndTheNearestOpaqueEntryElsewhere) {
  std::mt19937 random(22);
  const QImage logo = SoftEdgedLogo(40, random);
  const std::vector<ColorValue> entries = Entries(random);
  for (const int threshold : {1, 128, 255})
    for (const ColorValue matte : {kBlack, kWhite}) {
      SCOPED_TRACE(::testing::Message() << "threshold " << threshold << ", matte " << matte);
      const TransparencyRule rule{kTransparent, {threshold, matte}};
      const IndexedPicture picture = ReduceImage(logo, entries, rule);
      const std::vector<std::uint8_t> expected = ExpectedIndexes(logo, entries, rule.alpha);
      ASSERT_TRUE(picture.indexes == expected);

      const DecodedGif gif = DecodeGifWithGiflib(EncodeGif(picture).bytes);
      ASSERT_TRUE(gif.error.isEmpty()) << gif.error.toStdString();
      EXPECT_EQ(gif.version, "89a");
      EXPECT_EQ(gif.transparentIndex, kTransparent);
      EXPECT_TRUE(std::equal(entries.begin(), entries.end(), gif.globalTable.begin()));
      EXPECT_TRUE(gif.indexes == expected);

      const QByteArray png = EncodePng(picture).bytes;
      EXPECT_EQ(ReadPngHeader(png).transparency, QByteArray("\xFF\xFF\xFF\x00", 4));
      const QImage shown = ReadPngWithQt(png);
      for (size_t p = 0; p < expected.size(); ++p) {
        const QRgb pixel = shown.pixel(int(p % 40), int(p / 40));
        if (Alpha(logo, p) < threshold)
          ASSERT_EQ(qAlpha(pixel), 0) << p;
        else
          ASSERT_EQ(pixel, ToRgbPixel(entries[expected[p]]) | 0xFF000000u) << p;
      }
    }
}

TEST(TransparentExport, PillowReadsTheTransparentIndexOfBothFiles) {
  std::mt19937 random(23);
  const QImage logo = SoftEdgedLogo(24, random);
  const IndexedPicture picture = ReduceImage(logo, Entries(random), {kTransparent, {}});
  for (const QByteArray& file : {EncodeGif(picture).bytes, EncodePng(picture).bytes}) {
    const PillowIndexed read = ReadIndexedWithPillow(file);
    if (!read.skipped.isEmpty()) GTEST_SKIP() << read.skipped.toStdString();
    ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
    EXPECT_EQ(read.mode, QStringLiteral("P"));
    EXPECT_EQ(read.transparentIndex, kTransparent);
    EXPECT_TRUE(read.indexes == picture.indexes);
  }
}

TEST(TransparentExport, AnOpaquePixelOfTheTransparentEntrysColourStaysOpaque) {
  QImage picture(2, 1, QImage::Format_ARGB32);
  picture.setPixel(0, 0, 0x00000000u);
  picture.setPixel(1, 0, 0xFFFF0000u);  // red, the transparent entry's colour
  const IndexedPicture reduced = ReduceImage(picture, std::vector{kRed, kBlue, kGreen}, {0, {}});
  EXPECT_EQ(reduced.indexes, (std::vector<std::uint8_t>{0, 1}));
}

TEST(TransparentExport, PicturesWithNothingTransparentGiveTheSameBytesAsBefore) {
  std::mt19937 random(24);
  const QImage opaque = NoisePicture(33, 21, random);
  const std::vector<ColorValue> entries = Entries(random);
  const IndexedPicture plain =
      ReducePicture(reinterpret_cast<const std::uint32_t*>(opaque.constBits()), opaque.width(),
                    opaque.height(), opaque.bytesPerLine(), entries.data(), 16, 0);
  const QByteArray gif = EncodeGif(plain).bytes, png = EncodePng(plain).bytes;
  EXPECT_TRUE(gif.startsWith("GIF87a"));
  EXPECT_FALSE(png.contains("tRNS"));
  for (const QImage& picture : {opaque, opaque.convertToFormat(QImage::Format_ARGB32)}) {
    const IndexedPicture reduced = ReduceImage(picture, entries, TransparencyRule{});
    EXPECT_EQ(EncodeGif(reduced).bytes, gif);
    EXPECT_EQ(EncodePng(reduced).bytes, png);
  }
}

// Under a loss budget the clear pixels stay exactly transparent and no opaque pixel becomes so;
// the file is never larger than the exact one, and its loss is that of the opaque pixels.
TEST(TransparentExport, ALossBudgetKeepsTheClearPixelsExactlyTransparent) {
  std::mt19937 random(7);
  const QImage logo = SoftEdgedLogo(64, random);
  std::vector<ColorValue> entries;  // the logo's own colours, so that the budget has choices
  for (int i = 0; entries.size() < 32; ++i)
    entries.push_back(OverMatte(logo.pixel((i * 7) % 64, (i * 13) % 64), kWhite));
  const TransparencyRule rule{kTransparent, {}};
  const QByteArray exact = EncodeGif(ReduceImage(logo, entries, rule)).bytes;
  ResultFigures figures;
  ASSERT_TRUE(ComputeResultFigures(AnalyseImage(logo, rule.alpha), entries, kTransparent, figures,
                                   nullptr, 0, nullptr, 5));
  EXPECT_EQ(figures.budget, 5);
  EXPECT_EQ(figures.gif, EncodeImageGif(logo, entries, 5, 0, rule).bytes);
  EXPECT_LE(figures.gif.size(), exact.size());
  EXPECT_EQ(figures.unmeasured, figures.clearPixels);
  const DecodedGif gif = DecodeGifWithGiflib(figures.gif);
  ASSERT_TRUE(gif.error.isEmpty()) << gif.error.toStdString();
  EXPECT_EQ(gif.transparentIndex, kTransparent);
  for (size_t p = 0; p < gif.indexes.size(); ++p)
    ASSERT_EQ(gif.indexes[p] == kTransparent, Alpha(logo, p) < kDefaultAlphaThreshold) << p;
}

TEST(TransparentFigures, CountClearPixelsApartAndMeasureTheOpaqueOnesOverTheMatte) {
  std::mt19937 random(25);
  const QImage logo = SoftEdgedLogo(36, random);
  const std::vector<ColorValue> entries = Entries(random);
  const AlphaRule alpha{100, kBlack};
  const PictureColors colors = AnalyseImage(logo, alpha);
  for (const int transparent : {kTransparent, TransparencyRule::kNone}) {
    SCOPED_TRACE(transparent);
    ResultFigures figures;
    ASSERT_TRUE(ComputeResultFigures(colors, entries, transparent, figures));
    const IndexedPicture picture = ReduceImage(logo, entries, {transparent, alpha});
    EXPECT_EQ(figures.gif, EncodeGif(picture).bytes);

    std::uint64_t clear = 0, partly = 0, measured = 0;
    double sum = 0;
    std::vector<std::uint64_t> usage(entries.size());
    for (size_t p = 0; p < picture.indexes.size(); ++p) {
      const int a = Alpha(logo, p);
      clear += a < alpha.threshold;
      partly += a > 0 && a < alpha.threshold;
      ++usage[picture.indexes[p]];
      if (a < alpha.threshold) continue;  // clear pixels are never measured
      const QRgb pixel = logo.pixel(int(p % 36), int(p / 36));
      sum += Ciede2000(LabFromColor(OverMatte(pixel, alpha.matte)),
                       LabFromColor(entries[picture.indexes[p]]));
      ++measured;
    }
    EXPECT_EQ(figures.clearPixels, clear);
    EXPECT_EQ(figures.partlyClearPixels, transparent == TransparencyRule::kNone ? 0 : partly);
    EXPECT_EQ(figures.Measured(), measured);
    EXPECT_EQ(figures.usage, usage);
    EXPECT_NEAR(figures.meanLoss, sum / double(measured), 1e-4);
  }
}

// The visible loss, like the loss, leaves the clear pixels out: here every other pixel is exact.
TEST(TransparentFigures, TheVisibleLossLeavesTheClearPixelsOut) {
  QImage picture(40, 30, QImage::Format_ARGB32);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      picture.setPixel(
          x, y,
          x < 20 ? qRgba(200, 120, 40, x * 5) : ToRgbPixel(y < 15 ? kRed : kGreen) | 0xFF000000u);
  const PictureColors colors = AnalyseImage(picture, AlphaRule{});
  for (const int transparent : {0, TransparencyRule::kNone}) {
    SCOPED_TRACE(transparent);
    ResultFigures figures;
    ASSERT_TRUE(ComputeResultFigures(colors, {kBlack, kRed, kGreen}, transparent, figures, nullptr,
                                     0, nullptr, 0, 60));
    EXPECT_EQ(figures.visibleMean, 0);
    EXPECT_EQ(figures.visibleShareAboveOne, 0);
  }
}

TEST(TransparentFigures, TheFirstFreeEntryIsOneNoOpaquePixelShows) {
  QImage picture(3, 1, QImage::Format_ARGB32);
  picture.setPixel(0, 0, 0x00FFFFFFu);
  picture.setPixel(1, 0, 0xFFFF0000u);
  picture.setPixel(2, 0, 0xFF0000FFu);
  const PictureColors colors = AnalyseImage(picture, AlphaRule{});
  ResultFigures figures;
  ASSERT_TRUE(ComputeResultFigures(colors, {kRed, kWhite, kBlue}, figures));
  EXPECT_EQ(figures.clearPixels, 1u);
  EXPECT_EQ(figures.firstFreeEntry, 1) << "white shows only clear pixels";
  ASSERT_TRUE(ComputeResultFigures(colors, {kRed, kBlue}, figures));
  EXPECT_EQ(figures.firstFreeEntry, TransparencyRule::kNone);
}

}  // namespace
}  // namespace tavlo::testing
