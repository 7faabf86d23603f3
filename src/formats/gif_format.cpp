#include "formats/gif_format.h"

#include "base/file_signatures.h"

namespace tavlo {
namespace {

// The transparent index of the first image's Graphic Control Extension, or -1. `at` is the offset
// of the first block after the global table.
int FirstImageTransparentIndex(QByteArrayView bytes, qsizetype at) {
  const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
  int transparent = -1;
  while (at + 1 < bytes.size() && byte(at) == 0x21) {
    const unsigned char label = byte(at + 1);
    at += 2;
    if (label == 0xF9 && at + 5 <= bytes.size() && byte(at) == 4)
      transparent = (byte(at + 1) & 1) ? byte(at + 4) : -1;
    while (at < bytes.size() && byte(at) != 0) at += 1 + byte(at);  // sub-blocks
    ++at;                                                           // their terminator
  }
  return at < bytes.size() && byte(at) == 0x2C ? transparent : -1;
}

}  // namespace

PaletteRead ReadGif(QByteArrayView bytes) {
  constexpr qsizetype kHeaderSize = 13;
  PaletteRead result;
  if (bytes.size() < kHeaderSize) return result;
  if (!HasGifSignature({bytes.data(), size_t(bytes.size())})) return result;

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
  const int transparent = FirstImageTransparentIndex(bytes, kHeaderSize + 3 * count);
  if (transparent < count) result.transparentEntry = transparent;
  return result;
}

}  // namespace tavlo
