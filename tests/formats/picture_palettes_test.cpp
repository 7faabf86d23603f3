// The colour tables of PNG and BMP pictures and of RIFF palettes. Pictures are written by Qt's
// own image writers where they can be, so the reader meets files it did not make.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDataStream>
#include <QImage>

#include "formats/bmp_palette_format.h"
#include "formats/png_palette_format.h"
#include "formats/riff_pal_format.h"

namespace tavlo::testing {
namespace {

std::vector<ColorValue> SomeColors(int count) {
  std::vector<ColorValue> colors;
  for (int i = 0; i < count; ++i) colors.push_back(MakeColor(i * 13 % 256, 255 - i, i * 101 % 256));
  return colors;
}

QImage Indexed(const std::vector<ColorValue>& colors,
               QImage::Format format = QImage::Format_Indexed8) {
  QImage image(8, 4, format);
  QList<QRgb> table;
  for (const ColorValue c : colors) table << ToRgbPixel(c);
  image.setColorTable(table);
  image.fill(0);
  return image;
}

QByteArray Encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, format));
  return bytes;
}

QByteArray Record(int a, int b, int c) {
  const char bytes[4] = {char(a), char(b), char(c), '\0'};
  return QByteArray(bytes, 4);
}

// Every shorter prefix of a well-formed file is refused with one warning.
template <typename Reader>
void ExpectEveryPrefixRefused(const QByteArray& whole, qsizetype end, Reader read) {
  for (qsizetype n = 0; n < end; ++n) {
    const PaletteRead partial = read(whole.first(n));
    EXPECT_TRUE(partial.colors.empty()) << n;
    EXPECT_EQ(partial.warnings.size(), 1) << n;
  }
}

TEST(ReadPngPalette, TheTableOfAnIndexedPicture) {
  for (const int count : {2, 16, 100, 256}) {
    const std::vector<ColorValue> colors = SomeColors(count);
    const PaletteRead read = ReadPngPalette(Encoded(Indexed(colors), "PNG"));
    EXPECT_TRUE(read.warnings.isEmpty()) << count;
    EXPECT_EQ(read.colors, colors) << count;
  }
}

TEST(ReadPngPalette, PicturesWithoutATableAreRefused) {
  QImage truecolor(4, 4, QImage::Format_RGB32);
  truecolor.fill(Qt::red);
  EXPECT_EQ(ReadPngPalette(Encoded(truecolor, "PNG")).warnings,
            QStringList{"is not an indexed PNG picture: it is a truecolour picture without a "
                        "colour table."});
  QImage grey(4, 4, QImage::Format_Grayscale8);
  grey.fill(0);
  EXPECT_EQ(ReadPngPalette(Encoded(grey, "PNG")).warnings,
            QStringList{"is not an indexed PNG picture: it is a greyscale picture without a "
                        "colour table."});
  EXPECT_EQ(
      ReadPngPalette(Encoded(Indexed(SomeColors(4)), "BMP")).warnings,
      QStringList{"is not an indexed PNG picture: it does not start with the PNG signature."});
}

TEST(ReadPngPalette, DamagedOrCutFilesAreRefusedByLibpng) {
  const QByteArray png = Encoded(Indexed(SomeColors(16)), "PNG");
  const qsizetype plte = png.indexOf("PLTE");
  ASSERT_GT(plte, 0);
  QByteArray damaged = png;
  damaged[plte + 6] = char(damaged[plte + 6] ^ 0x55);  // a colour byte: the chunk's CRC fails
  const PaletteRead read = ReadPngPalette(damaged);
  EXPECT_TRUE(read.colors.empty());
  ASSERT_EQ(read.warnings.size(), 1);
  EXPECT_TRUE(read.warnings[0].startsWith("is not an indexed PNG picture: it cannot be read ("))
      << read.warnings[0].toStdString();
  // Cut anywhere before the pixel data begins.
  ExpectEveryPrefixRefused(png, png.indexOf("IDAT"), ReadPngPalette);
}

TEST(ReadBmpPalette, TheTablesOfQtsOneAndEightBitPictures) {
  const std::vector<ColorValue> two = {MakeColor(10, 20, 30), MakeColor(200, 100, 0)};
  const QImage mono = Indexed(two, QImage::Format_Mono);
  const QByteArray oneBit = Encoded(mono, "BMP");
  ASSERT_EQ(oneBit[28], 1);
  EXPECT_EQ(ReadBmpPalette(oneBit).colors, two);

  const std::vector<ColorValue> many = SomeColors(256);
  const QByteArray eightBit = Encoded(Indexed(many), "BMP");
  ASSERT_EQ(eightBit[28], 8);
  const PaletteRead read = ReadBmpPalette(eightBit);
  EXPECT_TRUE(read.warnings.isEmpty());
  EXPECT_EQ(read.colors, many);
}

// A BMP file as bytes: file header, then `header`, then `table`.
QByteArray Bmp(const QByteArray& header, const QByteArray& table) {
  QByteArray bytes("BM");
  bytes += QByteArray(12, '\0') + header + table;
  return bytes;
}

QByteArray InfoHeader(quint16 bits, quint32 used) {
  QByteArray header;
  QDataStream out(&header, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  out << quint32(40) << qint32(2) << qint32(2) << quint16(1) << bits << quint32(0) << quint32(0)
      << qint32(0) << qint32(0) << used << quint32(0);
  return header;
}

TEST(ReadBmpPalette, FourBitsAColorCountAndTheOldCoreHeader) {
  QByteArray table;
  for (int i = 0; i < 16; ++i) table += Record(i, 2 * i, 3 * i);
  const PaletteRead four = ReadBmpPalette(Bmp(InfoHeader(4, 0), table));
  ASSERT_EQ(four.colors.size(), 16u);
  EXPECT_EQ(four.colors[5], MakeColor(15, 10, 5));  // records are blue, green, red

  EXPECT_EQ(ReadBmpPalette(Bmp(InfoHeader(4, 3), table)).colors.size(), 3u);
  EXPECT_EQ(ReadBmpPalette(Bmp(InfoHeader(4, 9999), table)).colors.size(), 16u);

  QByteArray core;
  QDataStream out(&core, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  out << quint32(12) << quint16(2) << quint16(2) << quint16(1) << quint16(1);
  const PaletteRead old = ReadBmpPalette(Bmp(core, QByteArray("\x01\x02\x03\x04\x05\x06", 6)));
  EXPECT_EQ(old.colors, (std::vector<ColorValue>{MakeColor(3, 2, 1), MakeColor(6, 5, 4)}));
}

TEST(ReadBmpPalette, TruecolorAndCutFilesAreRefused) {
  QImage truecolor(4, 4, QImage::Format_RGB888);
  truecolor.fill(Qt::blue);
  EXPECT_EQ(ReadBmpPalette(Encoded(truecolor, "BMP")).warnings,
            QStringList{"is not an indexed BMP picture: it has 24 bits per pixel and no colour "
                        "table."});
  EXPECT_EQ(ReadBmpPalette(Bmp(QByteArray("\x07\0\0\0", 4), {})).warnings,
            QStringList{"is not an indexed BMP picture: it does not start with \"BM\" and a known "
                        "header."});
  const QByteArray whole = Encoded(Indexed(SomeColors(256)), "BMP");
  ExpectEveryPrefixRefused(whole, 14 + 40 + 4 * 256, ReadBmpPalette);
}

QByteArray Riff(const QByteArray& chunks) {
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  out.writeRawData("RIFF", 4);
  out << quint32(4 + chunks.size());
  out.writeRawData("PAL ", 4);
  out.writeRawData(chunks.constData(), int(chunks.size()));
  return bytes;
}

QByteArray Chunk(const char id[4], const QByteArray& data) {
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  out.writeRawData(id, 4);
  out << quint32(data.size());
  out.writeRawData(data.constData(), int(data.size()));
  if (data.size() % 2) bytes += '\0';
  return bytes;
}

QByteArray LogPalette(int count) {
  QByteArray data("\x00\x03", 2);
  data += char(count & 0xFF);
  data += char(count >> 8);
  for (int i = 0; i < count; ++i) data += Record(i, i / 2, 255 - i % 256);
  return data;
}

TEST(ReadRiffPal, TheDataChunkAfterAnyOthers) {
  const PaletteRead read = ReadRiffPal(Riff(Chunk("LIST", "odd") + Chunk("data", LogPalette(3))));
  EXPECT_TRUE(read.warnings.isEmpty());
  EXPECT_EQ(read.colors, (std::vector<ColorValue>{MakeColor(0, 0, 255), MakeColor(1, 0, 254),
                                                  MakeColor(2, 1, 253)}));
  const PaletteRead big = ReadRiffPal(Riff(Chunk("data", LogPalette(300))));
  EXPECT_EQ(big.colors.size(), 256u);
  EXPECT_EQ(big.warnings,
            QStringList{"holds 300 colours; the first 256 were read and the other 44 left out."});
}

TEST(ReadRiffPal, FilesWithoutACompleteTableAreRefused) {
  EXPECT_EQ(ReadRiffPal(Riff(Chunk("LIST", "abcd"))).warnings,
            QStringList{"is not a RIFF palette: it has no complete colour table."});
  EXPECT_EQ(ReadRiffPal(Riff(Chunk("data", LogPalette(0)))).warnings,
            QStringList{"holds no colours."});
  QByteArray overlong = Riff(Chunk("data", LogPalette(4)));
  overlong[22] = 5;  // five colours announced in a chunk of four
  EXPECT_EQ(ReadRiffPal(overlong).warnings,
            QStringList{"is not a RIFF palette: its colour table is cut short."});
  const QByteArray whole = Riff(Chunk("data", LogPalette(4)));
  ExpectEveryPrefixRefused(whole, whole.size(), ReadRiffPal);
}

}  // namespace
}  // namespace tavlo::testing
