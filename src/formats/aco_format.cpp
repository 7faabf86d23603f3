#include "formats/aco_format.h"

#include "formats/palette_read.h"

namespace tavlo {
namespace {

void AppendWord(QByteArray& bytes, int value) {
  bytes.append(static_cast<char>((value >> 8) & 0xFF));
  bytes.append(static_cast<char>(value & 0xFF));
}

}  // namespace

QByteArray WriteAco(const PaletteColors& colours, int first, int last) {
  QByteArray bytes;
  const int count = last - first + 1;
  bytes.reserve(4 + 10 * count);
  AppendWord(bytes, 1);
  AppendWord(bytes, count);
  for (int i = first; i <= last; ++i) {
    const Rgb rgb = SplitColor(colours[i]);
    AppendWord(bytes, 0);
    AppendWord(bytes, rgb.red * 257);
    AppendWord(bytes, rgb.green * 257);
    AppendWord(bytes, rgb.blue * 257);
    AppendWord(bytes, 0);
  }
  return bytes;
}

}  // namespace tavlo
