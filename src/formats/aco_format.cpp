#include "formats/aco_format.h"

#include <optional>

#include "formats/byte_cursor.h"
#include "formats/palette_collector.h"
#include "formats/swatch_colors.h"

namespace tavlo {
namespace {

const QString kNotAco = QStringLiteral("is not a colour swatch file: %1");

void AppendWord(QByteArray& bytes, int value) {
  bytes.append(static_cast<char>((value >> 8) & 0xFF));
  bytes.append(static_cast<char>(value & 0xFF));
}

struct Swatch {
  ColorValue color;
  SwatchModel model;
};

std::optional<Swatch> Convert(int space, std::uint16_t w, std::uint16_t x, std::uint16_t y,
                              std::uint16_t z) {
  constexpr double kFull = 65535;
  switch (space) {
    case 0:
      return Swatch{MakeColor(w >> 8, x >> 8, y >> 8), SwatchModel::Rgb};
    case 1:
      return Swatch{ColorFromHsb(w / kFull * 360, x / kFull, y / kFull), SwatchModel::Hsb};
    case 2:
      return Swatch{ColorFromCmyk(1 - w / kFull, 1 - x / kFull, 1 - y / kFull, 1 - z / kFull),
                    SwatchModel::Cmyk};
    case 7:
      return Swatch{ColorFromLab(w / 100.0, static_cast<std::int16_t>(x) / 100.0,
                                 static_cast<std::int16_t>(y) / 100.0),
                    SwatchModel::Lab};
    case 8:
      return Swatch{ColorFromGrey(1 - w / 10000.0), SwatchModel::Grey};
    default:
      return std::nullopt;
  }
}

}  // namespace

PaletteRead ReadAco(QByteArrayView bytes) {
  ByteCursor cursor(bytes);
  const int version = cursor.U16Be();
  const int count = cursor.U16Be();
  if (!cursor.Ok()) return Refused(kNotAco.arg(QStringLiteral("it is shorter than its header.")));
  if (version != 1 && version != 2)
    return Refused(
        kNotAco.arg(QStringLiteral("it starts with version %1, not 1 or 2.").arg(version)));

  PaletteCollector collector;
  for (int k = 0; k < count; ++k) {
    const int space = cursor.U16Be();
    const std::uint16_t w = cursor.U16Be(), x = cursor.U16Be(), y = cursor.U16Be(),
                        z = cursor.U16Be();
    if (version == 2) cursor.Skip(2 * qsizetype(cursor.U32Be()));
    if (!cursor.Ok())
      return Refused(kNotAco.arg(QStringLiteral("it ends inside swatch %1 of the %2 it announces.")
                                     .arg(k + 1)
                                     .arg(count)));
    const std::optional<Swatch> swatch = Convert(space, w, x, y, z);
    if (!swatch)
      return Refused(QStringLiteral("holds swatch %1 in colour space %2, which has no conversion "
                                    "to RGB.")
                         .arg(k + 1)
                         .arg(space));
    collector.Add(swatch->color, swatch->model);
  }
  return std::move(collector).Finish();
}

QByteArray WriteAco(const PaletteColors& colors, int first, int last) {
  QByteArray bytes;
  const int count = last - first + 1;
  bytes.reserve(4 + 10 * count);
  AppendWord(bytes, 1);
  AppendWord(bytes, count);
  for (int i = first; i <= last; ++i) {
    const Rgb rgb = SplitColor(colors[i]);
    AppendWord(bytes, 0);
    AppendWord(bytes, rgb.red * 257);
    AppendWord(bytes, rgb.green * 257);
    AppendWord(bytes, rgb.blue * 257);
    AppendWord(bytes, 0);
  }
  return bytes;
}

}  // namespace tavlo
