#include "reduction/gif_encoder.h"

#include <algorithm>
#include <new>

#include "reduction/lzw_strips.h"

namespace tavlo {

void PutLittle16(QByteArray& out, int value) {
  out.append(static_cast<char>(value & 0xFF));
  out.append(static_cast<char>((value >> 8) & 0xFF));
}

void PutGifHeader(QByteArray& out, const char* version, int width, int height,
                  const std::vector<ColorValue>& table) {
  const int tableBits = GifTableBits(static_cast<int>(table.size()));
  out.append(version, 6);
  PutLittle16(out, width);
  PutLittle16(out, height);
  // Global table present, colour resolution 8 bits, not sorted, table size 2^tableBits.
  out.append(static_cast<char>(0x80 | (7 << 4) | (tableBits - 1)));
  out.append('\0');  // background colour index
  out.append('\0');  // no pixel aspect ratio
  const int entries = 1 << tableBits;
  for (int i = 0; i < entries; ++i) {
    const ColorValue c = i < int(table.size()) ? table[size_t(i)] : 0;
    out.append(static_cast<char>(RedOf(c)));
    out.append(static_cast<char>(GreenOf(c)));
    out.append(static_cast<char>(BlueOf(c)));
  }
}

void PutGraphicControl(QByteArray& out, int disposal, int delayCs, int transparent) {
  out.append("\x21\xF9\x04", 3);
  out.append(static_cast<char>((disposal << 2) | (transparent >= 0 ? 1 : 0)));
  PutLittle16(out, delayCs);
  out.append(static_cast<char>(transparent >= 0 ? transparent : 0));
  out.append('\0');  // block terminator
}

void PutGifImage(QByteArray& out, int left, int top, int width, int height, int codeSize,
                 const std::vector<std::uint8_t>& codes) {
  out.append(',');  // image separator
  PutLittle16(out, left);
  PutLittle16(out, top);
  PutLittle16(out, width);
  PutLittle16(out, height);
  out.append('\0');  // no local table, not interlaced
  out.append(static_cast<char>(codeSize));
  for (size_t at = 0; at < codes.size(); at += 255) {
    const size_t length = std::min<size_t>(255, codes.size() - at);
    out.append(static_cast<char>(length));
    out.append(reinterpret_cast<const char*>(codes.data() + at), static_cast<qsizetype>(length));
  }
  out.append('\0');  // block terminator
}

int GifTableBits(int entries) {
  int bits = 1;
  while ((1 << bits) < entries) ++bits;
  return bits;
}

int GifCodeSize(int entries) {
  return std::max(2, GifTableBits(entries));
}

QString GifSizeError(int width, int height) {
  if (width <= kGifMaxSide && height <= kGifMaxSide) return {};
  return QStringLiteral(
             "A GIF can be at most %1 pixels wide and high; the picture is "
             "%2 x %3.")
      .arg(kGifMaxSide)
      .arg(width)
      .arg(height);
}

QByteArray GifFile(int width, int height, const std::vector<ColorValue>& table,
                   const std::vector<std::uint8_t>& codes, int transparent) {
  const int tableBits = GifTableBits(static_cast<int>(table.size()));
  QByteArray out;
  out.reserve(static_cast<qsizetype>(13 + 3 * (1 << tableBits) + 8 + 11 + codes.size() +
                                     codes.size() / 255 + 3));
  PutGifHeader(out, transparent >= 0 ? "GIF89a" : "GIF87a", width, height, table);
  if (transparent >= 0) PutGraphicControl(out, 0, 0, transparent);
  PutGifImage(out, 0, 0, width, height, GifCodeSize(static_cast<int>(table.size())), codes);
  out.append(';');  // trailer
  return out;
}

EncodedPicture EncodeGif(const IndexedPicture& picture, int threads) {
  EncodedPicture result;
  if (!IsWhole(picture)) {
    result.error = QStringLiteral("There is no picture to write.");
    return result;
  }
  result.error = GifSizeError(picture.width, picture.height);
  if (!result.ok()) return result;
  try {
    const int codeSize = GifCodeSize(static_cast<int>(picture.table.size()));
    result.bytes =
        GifFile(picture.width, picture.height, picture.table,
                EncodeLzw(picture.indexes.data(), picture.indexes.size(), codeSize, threads),
                picture.transparent);
  } catch (const std::bad_alloc&) {
    result.bytes.clear();
    result.error = QStringLiteral("There is not enough memory to encode the GIF.");
  }
  return result;
}

}  // namespace tavlo
