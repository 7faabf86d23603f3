// The GIF and PNG files of a reduced picture, read back by independent readers (giflib, Qt's
// image readers, a plain PNG chunk reader): the table must be the range's entries in order and
// every pixel exactly what the preview shows.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <random>

#include "colorlib/tavlo_color.h"
#include "reduction/gif_encoder.h"
#include "reduction/indexed_picture.h"
#include "reduction/png_encoder.h"
#include "support/named_colors.h"
#include "support/picture_decoding.h"
#include "support/random_pictures.h"

namespace tavlo::testing {
namespace {

std::vector<ColorValue> RandomEntries(int count, std::mt19937& random) {
  std::vector<ColorValue> entries(static_cast<size_t>(count));
  for (auto& c : entries) c = static_cast<ColorValue>(random() & 0xFFFFFF);
  return entries;
}

IndexedPicture Reduce(const QImage& image, const std::vector<ColorValue>& entries,
                      int threads = 0) {
  return ReducePicture(reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(),
                       image.height(), image.bytesPerLine(), entries.data(),
                       static_cast<int>(entries.size()), threads);
}

QImage Preview(const QImage& image, const std::vector<ColorValue>& entries) {
  QImage preview = image.copy();
  PreViewImage(reinterpret_cast<std::uint32_t*>(preview.bits()), preview.width(), preview.height(),
               static_cast<std::int32_t>(preview.bytesPerLine()), entries.data(),
               static_cast<std::int32_t>(entries.size()));
  return preview;
}

QImage ReadWithQt(const QByteArray& bytes, const char* format) {
  QBuffer buffer;
  buffer.setData(bytes);
  QImageReader reader(&buffer, format);
  return reader.read().convertToFormat(QImage::Format_RGB32);
}

void ExpectGifOf(const QByteArray& gif, const IndexedPicture& picture, const QImage& preview) {
  const DecodedGif decoded = DecodeGifWithGiflib(gif);
  ASSERT_TRUE(decoded.error.isEmpty()) << decoded.error.toStdString();
  EXPECT_EQ(decoded.version, "87a");
  EXPECT_EQ(decoded.width, picture.width);
  EXPECT_EQ(decoded.height, picture.height);
  const int n = static_cast<int>(picture.table.size());
  const int tableSize = 1 << GifTableBits(n);
  EXPECT_GE(tableSize, std::max(2, n));
  EXPECT_LT(tableSize / 2, std::max(2, n)) << "not the smallest table";
  ASSERT_EQ(static_cast<int>(decoded.globalTable.size()), tableSize);
  for (int i = 0; i < tableSize; ++i)
    EXPECT_EQ(decoded.globalTable[size_t(i)], i < n ? picture.table[size_t(i)] : 0) << i;
  EXPECT_EQ(decoded.imageCount, 1);
  EXPECT_FALSE(decoded.localTable);
  EXPECT_FALSE(decoded.interlaced);
  EXPECT_EQ(decoded.left, 0);
  EXPECT_EQ(decoded.top, 0);
  EXPECT_EQ(decoded.imageWidth, picture.width);
  EXPECT_EQ(decoded.imageHeight, picture.height);
  EXPECT_TRUE(decoded.indexes == picture.indexes) << "giflib decodes other indexes";
  EXPECT_TRUE(ReadWithQt(gif, "gif") == preview) << "Qt's reader shows other pixels";
}

void ExpectPngOf(const QByteArray& png, const IndexedPicture& picture, const QImage& preview) {
  const PngHeader header = ReadPngHeader(png);
  ASSERT_TRUE(header.error.isEmpty()) << header.error.toStdString();
  const int n = static_cast<int>(picture.table.size());
  EXPECT_EQ(header.width, picture.width);
  EXPECT_EQ(header.height, picture.height);
  EXPECT_EQ(header.colorType, 3);
  EXPECT_EQ(header.interlace, 0);
  EXPECT_EQ(header.bitDepth, n <= 2 ? 1 : n <= 4 ? 2 : n <= 16 ? 4 : 8);
  EXPECT_TRUE(header.palette == picture.table) << "PLTE is not the range's entries in order";
  EXPECT_TRUE(ReadWithQt(png, "png") == preview) << "Qt's reader shows other pixels";
}

TEST(PictureEncoders, FilesHoldTheRangeInOrderAndShowThePreviewedPixels) {
  std::mt19937 random(14);
  std::vector<std::vector<ColorValue>> ranges;
  for (int n : {1, 2, 3, 16, 17, 256}) ranges.push_back(RandomEntries(n, random));
  auto duplicates = RandomEntries(5, random);  // each colour twice: the first one is used
  duplicates.insert(duplicates.end(), duplicates.begin(), duplicates.end());
  ranges.push_back(duplicates);
  ranges.push_back({kWhite, kWhite, kWhite});  // only duplicates
  const QImage image = NoisePicture(97, 61, random);
  for (const auto& entries : ranges) {
    SCOPED_TRACE(entries.size());
    const IndexedPicture picture = Reduce(image, entries);
    const QImage preview = Preview(image, entries);
    const EncodedPicture gif = EncodeGif(picture);
    ASSERT_TRUE(gif.ok()) << gif.error.toStdString();
    ExpectGifOf(gif.bytes, picture, preview);
    const EncodedPicture png = EncodePng(picture);
    ASSERT_TRUE(png.ok()) << png.error.toStdString();
    ExpectPngOf(png.bytes, picture, preview);
  }
}

TEST(PictureEncoders, DuplicateEntriesShowTheFirstOfThem) {
  std::mt19937 random(15);
  const QImage image = NoisePicture(40, 30, random);
  const std::vector<ColorValue> entries = {kRed, kBlue, kRed, kBlue};
  const IndexedPicture picture = Reduce(image, entries);
  for (std::uint8_t index : picture.indexes) EXPECT_LT(index, 2);
}

// Pictures of every kind of code stream: strings that grow without end, tables that fill every
// few thousand pixels, and pictures over many strips.
TEST(PictureEncoders, LongCodeStreamsDecodeExactlyWithAnyNumberOfThreads) {
  std::mt19937 random(16);
  struct Case {
    const char* name;
    int width, height, colors;
  };
  for (const Case c : {Case{"one colour", 1500, 800, 1}, Case{"noise", 1300, 900, 256},
                       Case{"stripes", 2049, 700, 7}, Case{"tiny", 1, 1, 2}}) {
    SCOPED_TRACE(c.name);
    IndexedPicture picture;
    picture.width = c.width;
    picture.height = c.height;
    picture.table = RandomEntries(c.colors, random);
    picture.indexes.resize(size_t(c.width) * size_t(c.height));
    for (size_t i = 0; i < picture.indexes.size(); ++i) {
      const auto n = static_cast<unsigned>(c.colors);
      picture.indexes[i] =
          static_cast<std::uint8_t>(c.colors == 7 ? (i / 3 + i / 4000) % n : random() % n);
    }
    const EncodedPicture one = EncodeGif(picture, 1);
    ASSERT_TRUE(one.ok());
    const DecodedGif decoded = DecodeGifWithGiflib(one.bytes);
    ASSERT_TRUE(decoded.error.isEmpty()) << decoded.error.toStdString();
    EXPECT_TRUE(decoded.indexes == picture.indexes);
    for (int threads : {2, 3}) EXPECT_EQ(EncodeGif(picture, threads).bytes, one.bytes) << threads;
  }
}

TEST(PictureEncoders, RefusePicturesTheyCannotWrite) {
  IndexedPicture wide;
  wide.width = kGifMaxSide + 1;
  wide.height = 1;
  wide.table = {kBlack};
  wide.indexes.assign(size_t(wide.width), 0);
  const EncodedPicture gif = EncodeGif(wide);
  EXPECT_FALSE(gif.ok());
  EXPECT_TRUE(gif.bytes.isEmpty());
  EXPECT_TRUE(gif.error.contains(QStringLiteral("65535"))) << gif.error.toStdString();
  EXPECT_TRUE(EncodePng(wide).ok()) << "PNG has no such limit";

  IndexedPicture badIndex = wide;
  badIndex.width = 2;
  badIndex.indexes = {0, 1};  // beyond the one-colour table
  EXPECT_FALSE(EncodeGif(badIndex).ok());
  EXPECT_FALSE(EncodePng(badIndex).ok());
  EXPECT_FALSE(EncodeGif(IndexedPicture{}).ok());
  EXPECT_FALSE(EncodePng(IndexedPicture{}).ok());
}

}  // namespace
}  // namespace tavlo::testing
