#include "formats/riff_pal_format.h"

#include "formats/byte_cursor.h"
#include "formats/palette_collector.h"

namespace tavlo {
namespace {

const QString kNotRiff = QStringLiteral("is not a RIFF palette: %1");

PaletteRead ReadDataChunk(QByteArrayView data) {
  ByteCursor cursor(data);
  cursor.Skip(2);  // version
  const int count = cursor.U16Le();
  if (!cursor.Ok() || !cursor.Has(4 * qsizetype(count)))
    return Refused(kNotRiff.arg(QStringLiteral("its colour table is cut short.")));
  PaletteCollector collector;
  for (int k = 0; k < count; ++k) {
    const int red = cursor.U8(), green = cursor.U8(), blue = cursor.U8();
    cursor.Skip(1);
    collector.Add(MakeColor(red, green, blue));
  }
  return std::move(collector).Finish();
}

}  // namespace

bool LooksLikeRiffPal(QByteArrayView bytes) {
  return bytes.size() >= 12 && bytes.first(4) == QByteArrayView("RIFF") &&
         bytes.sliced(8, 4) == QByteArrayView("PAL ");
}

PaletteRead ReadRiffPal(QByteArrayView bytes) {
  if (!LooksLikeRiffPal(bytes))
    return Refused(kNotRiff.arg(QStringLiteral("it does not start with \"RIFF\" and \"PAL \".")));
  ByteCursor cursor(bytes.sliced(12));
  while (!cursor.AtEnd()) {
    const QByteArrayView id = cursor.Take(4);
    const std::uint32_t size = cursor.U32Le();
    const QByteArrayView data = cursor.Take(size);
    if (!cursor.Ok()) break;
    if (id == QByteArrayView("data")) return ReadDataChunk(data);
    if (size % 2 == 1) cursor.Skip(1);
  }
  return Refused(kNotRiff.arg(QStringLiteral("it has no complete colour table.")));
}

}  // namespace tavlo
