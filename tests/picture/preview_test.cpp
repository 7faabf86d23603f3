#include "picture/preview.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <random>

#include "picture/bmp_writer.h"
#include "support/random_pictures.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

ColorValue Nearest(QRgb pixel, const std::vector<ColorValue>& colors) {
  ColorValue best = colors.front();
  int bestDistance = INT_MAX;
  for (ColorValue c : colors) {
    const int dr = qRed(pixel) - RedOf(c);
    const int dg = qGreen(pixel) - GreenOf(c);
    const int db = qBlue(pixel) - BlueOf(c);
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = c;
    }
  }
  return best;
}

QImage ReadBmp(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "bmp");
  return reader.read();
}

void ExpectSamePixels(const QImage& a, const QImage& b) {
  ASSERT_EQ(a.size(), b.size());
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      ASSERT_EQ(a.pixel(x, y) & 0xFFFFFFu, b.pixel(x, y) & 0xFFFFFFu) << x << "," << y;
}

TEST(PreviewTest, OneColorPaintsEverythingAndThePictureStaysUntouched) {
  const QImage picture = NoisePicture(13, 7, 1);
  const QImage before = picture.copy();
  const std::vector<ColorValue> colors = {MakeColor(10, 200, 30)};
  const QImage preview = MakePreview(picture, colors);
  ASSERT_EQ(preview.size(), picture.size());
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x) EXPECT_EQ(preview.pixel(x, y), qRgb(10, 200, 30));
  ExpectSamePixels(picture, before);
}

TEST(PreviewTest, AllEntriesGiveTheNearestColorImage) {
  const QImage picture = NoisePicture(31, 17, 2);
  std::vector<ColorValue> colors;
  std::mt19937 random(3);
  for (int i = 0; i < 256; ++i) colors.push_back(ColorValue(random() & 0xFFFFFF));
  const QImage preview = MakePreview(picture, colors);
  ASSERT_EQ(preview.size(), picture.size());
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      ASSERT_EQ(FromRgbPixel(preview.pixel(x, y)), Nearest(picture.pixel(x, y), colors))
          << x << "," << y;
}

TEST(BmpWriterTest, IndexedBitmapHasExactLayoutAndReadsBack) {
  // 3 x 2 with three colours: rows of 3 bytes padded to 4, stored bottom-up.
  QImage image(3, 2, QImage::Format_RGB32);
  image.setPixel(0, 0, qRgb(255, 0, 0));
  image.setPixel(1, 0, qRgb(0, 255, 0));
  image.setPixel(2, 0, qRgb(255, 0, 0));
  image.setPixel(0, 1, qRgb(0, 0, 255));
  image.setPixel(1, 1, qRgb(0, 0, 255));
  image.setPixel(2, 1, qRgb(0, 255, 0));
  const QByteArray bmp = EncodeBmp(image);
  const QByteArray expected = QByteArray::fromHex(
      "424d"      // BM
      "4a000000"  // file size 74
      "00000000"  // reserved
      "42000000"  // pixels at 66 = 14 + 40 + 3 * 4
      "28000000"  // info header size 40
      "03000000"  // width 3
      "02000000"  // height 2, bottom-up
      "0100"
      "0800"      // one plane, 8 bits
      "00000000"  // no compression
      "08000000"  // 8 bytes of pixels
      "c40e0000"
      "c40e0000"  // 3780 pixels per metre
      "03000000"  // three colours
      "00000000"  // all important
      "0000ff00"
      "00ff0000"
      "ff000000"    // red, green, blue as blue, green, red, 0
      "02020100"    // bottom row: blue, blue, green
      "00010000");  // top row: red, green, red
  EXPECT_EQ(bmp.toHex(), expected.toHex());
  ExpectSamePixels(ReadBmp(bmp), image);
}

TEST(BmpWriterTest, MoreThan256ColorsFallBackTo24Bits) {
  const QImage image = NoisePicture(30, 20, 4);
  const QByteArray bmp = EncodeBmp(image);
  EXPECT_EQ(qFromLittleEndian<quint16>(bmp.constData() + 28), 24);
  ExpectSamePixels(ReadBmp(bmp), image);
}

TEST(BmpWriterTest, PreviewExportReadsBackByAnIndependentReader) {
  const QString python = QStringLiteral("/usr/bin/python3");
  QProcess probe;
  probe.start(python, {QStringLiteral("-c"), QStringLiteral("import PIL")});
  if (!probe.waitForFinished(20000) || probe.exitCode() != 0)
    GTEST_SKIP() << "python3 with PIL is not available";

  const QImage picture = NoisePicture(37, 11, 5);
  std::vector<ColorValue> colors;
  for (int i = 0; i < 40; ++i) colors.push_back(MakeColor(i * 6, 255 - i * 6, (i * 37) & 0xFF));
  const QImage preview = MakePreview(picture, colors);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("preview.bmp"));
  WriteBytes(path, EncodeBmp(preview));

  QProcess pil;
  pil.start(python, {QStringLiteral("-c"),
                     QStringLiteral("import sys\n"
                                    "from PIL import Image\n"
                                    "im = Image.open(sys.argv[1])\n"
                                    "print(im.format, im.mode, im.size[0], im.size[1])\n"
                                    "rgb = im.convert('RGB')\n"
                                    "print(' '.join('%02x%02x%02x' % rgb.getpixel((x, y))\n"
                                    "  for y in range(im.size[1]) for x in range(im.size[0])))\n"),
                     path});
  ASSERT_TRUE(pil.waitForFinished(20000));
  ASSERT_EQ(pil.exitCode(), 0) << pil.readAllStandardError().toStdString();
  const QStringList lines = QString::fromLatin1(pil.readAllStandardOutput()).split('\n');
  ASSERT_GE(lines.size(), 2);
  EXPECT_EQ(lines[0], QStringLiteral("BMP P 37 11"));
  const QStringList pixels = lines[1].split(' ');
  ASSERT_EQ(pixels.size(), 37 * 11);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 37; ++x)
      ASSERT_EQ(pixels[y * 37 + x].toUInt(nullptr, 16), preview.pixel(x, y) & 0xFFFFFFu)
          << x << "," << y;
}

}  // namespace
}  // namespace tavlo::testing
