#include "formats/gif_format.h"

namespace tavlo {

PaletteRead ReadGif(QByteArrayView bytes) {
  constexpr qsizetype kHeaderSize = 13;
  PaletteRead result;
  if (bytes.size() < kHeaderSize) return result;
  const QByteArrayView signature = bytes.first(6);
  if (signature != QByteArrayView("GIF89a") && signature != QByteArrayView("GIF87a")) return result;

  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char packed = data[10];
  if ((packed & 0x80) == 0) return result;
  const int count = 2 << (packed & 7);
  if (bytes.size() < kHeaderSize + 3 * count) return result;

  result.colors.reserve(count);
  for (int i = 0; i < count; ++i) {
    const unsigned char* record = data + kHeaderSize + 3 * i;
    result.colors.push_back(MakeColor(record[0], record[1], record[2]));
  }
  return result;
}

}  // namespace tavlo
