#include "picture/bmp_writer.h"

#include <QtEndian>
#include <unordered_map>
#include <vector>

namespace tavlo {
namespace {

// Layout, all numbers little-endian:
//   file header, 14 bytes: "BM", file size (4), two reserved words (0), offset of the pixels (4)
//   info header, 40 bytes: its size 40, width, height (positive: rows stored bottom-up),
//     planes 1, bits per pixel (8 or 24), compression 0, size of the pixel data,
//     3780 x 3780 pixels per metre (96 dpi), colours used, colours important (0: all)
//   colour table (8 bits only): one entry per colour, bytes blue, green, red, 0
//   pixels: rows from the bottom up, each padded with zeros to a multiple of 4 bytes; a pixel
//     is one colour-table index (8 bits) or the bytes blue, green, red (24 bits)
constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kPixelsPerMetre = 3780;

void Put16(QByteArray& out, int offset, quint16 value) {
  qToLittleEndian(value, out.data() + offset);
}
void Put32(QByteArray& out, int offset, quint32 value) {
  qToLittleEndian(value, out.data() + offset);
}

// The colours of the image in order of first appearance, or nothing when there are more
// than 256; `indices` then holds one table index per pixel, row by row from the top.
bool IndexColors(const QImage& image, std::vector<QRgb>& table, std::vector<quint8>& indices) {
  std::unordered_map<QRgb, quint8> index;
  indices.resize(size_t(image.width()) * size_t(image.height()));
  size_t at = 0;
  QRgb last = 0;
  quint8 lastIndex = 0;
  bool haveLast = false;
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb color = row[x] & 0xFFFFFFu;
      if (!haveLast || color != last) {
        auto found = index.find(color);
        if (found == index.end()) {
          if (table.size() == 256) return false;
          found = index.emplace(color, quint8(table.size())).first;
          table.push_back(color);
        }
        last = color;
        lastIndex = found->second;
        haveLast = true;
      }
      indices[at++] = lastIndex;
    }
  }
  return true;
}

}  // namespace

QByteArray EncodeBmp(const QImage& source) {
  const QImage image =
      source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
          ? source
          : source.convertToFormat(QImage::Format_RGB32);
  const int width = image.width();
  const int height = image.height();
  std::vector<QRgb> table;
  std::vector<quint8> indices;
  const bool indexed = IndexColors(image, table, indices);
  const int bitsPerPixel = indexed ? 8 : 24;
  const qint64 rowBytes = ((qint64(width) * bitsPerPixel + 31) / 32) * 4;
  const qint64 tableBytes = indexed ? qint64(table.size()) * 4 : 0;
  const qint64 pixelOffset = kFileHeaderSize + kInfoHeaderSize + tableBytes;
  const qint64 fileSize = pixelOffset + rowBytes * height;

  QByteArray out(qsizetype(fileSize), '\0');
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, quint32(fileSize));
  Put32(out, 10, quint32(pixelOffset));
  Put32(out, 14, kInfoHeaderSize);
  Put32(out, 18, quint32(width));
  Put32(out, 22, quint32(height));
  Put16(out, 26, 1);
  Put16(out, 28, quint16(bitsPerPixel));
  Put32(out, 34, quint32(rowBytes * height));
  Put32(out, 38, kPixelsPerMetre);
  Put32(out, 42, kPixelsPerMetre);
  Put32(out, 46, indexed ? quint32(table.size()) : 0);

  auto* bytes = reinterpret_cast<quint8*>(out.data());
  if (indexed) {
    quint8* entry = bytes + kFileHeaderSize + kInfoHeaderSize;
    for (QRgb color : table) {
      *entry++ = quint8(qBlue(color));
      *entry++ = quint8(qGreen(color));
      *entry++ = quint8(qRed(color));
      *entry++ = 0;
    }
  }
  for (int y = 0; y < height; ++y) {
    quint8* row = bytes + pixelOffset + rowBytes * (height - 1 - y);
    if (indexed) {
      std::copy_n(indices.data() + size_t(y) * size_t(width), width, row);
    } else {
      const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      for (int x = 0; x < width; ++x) {
        *row++ = quint8(qBlue(pixels[x]));
        *row++ = quint8(qGreen(pixels[x]));
        *row++ = quint8(qRed(pixels[x]));
      }
    }
  }
  return out;
}

}  // namespace tavlo
