#include "formats/bmp_palette_format.h"

#include "formats/byte_cursor.h"
#include "formats/palette_collector.h"

namespace tavlo {
namespace {

const QString kNotBmp = QStringLiteral("is not an indexed BMP picture: %1");

bool KnownHeaderSize(std::uint32_t size) {
  return size == 12 || (size >= 16 && size <= 124);
}

std::uint32_t HeaderSize(QByteArrayView bytes) {
  ByteCursor cursor(bytes);
  cursor.Skip(14);
  return cursor.U32Le();
}

}  // namespace

bool LooksLikeBmp(QByteArrayView bytes) {
  return bytes.startsWith("BM") && KnownHeaderSize(HeaderSize(bytes));
}

PaletteRead ReadBmpPalette(QByteArrayView bytes) {
  if (!LooksLikeBmp(bytes))
    return Refused(
        kNotBmp.arg(QStringLiteral("it does not start with \"BM\" and a known header.")));
  ByteCursor cursor(bytes);
  cursor.Skip(14);
  const std::uint32_t headerSize = cursor.U32Le();
  const bool core = headerSize == 12;
  cursor.Skip(core ? 6 : 10);  // width, height, planes
  const int bits = cursor.U16Le();
  std::uint32_t used = 0;
  if (!core && headerSize >= 36) {
    cursor.Skip(16);  // compression, image size, resolution
    used = cursor.U32Le();
  }
  if (!cursor.Ok()) return Refused(kNotBmp.arg(QStringLiteral("it ends inside its header.")));
  if (bits != 1 && bits != 2 && bits != 4 && bits != 8)
    return Refused(
        kNotBmp.arg(QStringLiteral("it has %1 bits per pixel and no colour table.").arg(bits)));

  const std::uint32_t full = 1u << bits;
  const std::uint32_t count = used == 0 || used > full ? full : used;
  const qsizetype recordSize = core ? 3 : 4;
  ByteCursor table(bytes);
  table.Skip(14 + qsizetype(headerSize));
  if (!table.Has(recordSize * qsizetype(count)))
    return Refused(kNotBmp.arg(QStringLiteral("it ends inside its colour table.")));
  PaletteCollector collector;
  for (std::uint32_t k = 0; k < count; ++k) {
    const int blue = table.U8(), green = table.U8(), red = table.U8();
    if (!core) table.Skip(1);
    collector.Add(MakeColor(red, green, blue));
  }
  return std::move(collector).Finish();
}

}  // namespace tavlo
