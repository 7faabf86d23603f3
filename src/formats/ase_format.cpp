#include "formats/ase_format.h"

#include <optional>

#include "formats/byte_cursor.h"
#include "formats/palette_collector.h"
#include "formats/swatch_colors.h"

namespace tavlo {
namespace {

const QString kNotAse = QStringLiteral("is not a swatch exchange file: %1");

struct Swatch {
  ColorValue color;
  SwatchModel model;
};

// The colour of a colour block's data, or nullopt when the block does not hold one.
std::optional<Swatch> ReadColorBlock(QByteArrayView data) {
  ByteCursor block(data);
  block.Skip(2 * qsizetype(block.U16Be()));
  const QByteArrayView model = block.Take(4);
  if (!block.Ok()) return std::nullopt;
  if (model == QByteArrayView("RGB ")) {
    const float r = block.F32Be(), g = block.F32Be(), b = block.F32Be();
    if (block.Ok()) return Swatch{ColorFromFractions(r, g, b), SwatchModel::Rgb};
  } else if (model == QByteArrayView("CMYK")) {
    const float c = block.F32Be(), m = block.F32Be(), y = block.F32Be(), k = block.F32Be();
    if (block.Ok()) return Swatch{ColorFromCmyk(c, m, y, k), SwatchModel::Cmyk};
  } else if (model == QByteArrayView("LAB ")) {
    const float l = block.F32Be(), a = block.F32Be(), b = block.F32Be();
    // Lightness beyond 1 can only be on the 0..100 scale.
    if (block.Ok()) return Swatch{ColorFromLab(l > 1 ? l : l * 100.0, a, b), SwatchModel::Lab};
  } else if (model == QByteArrayView("Gray")) {
    const float grey = block.F32Be();
    if (block.Ok()) return Swatch{ColorFromGrey(grey), SwatchModel::Grey};
  }
  return std::nullopt;
}

}  // namespace

PaletteRead ReadAse(QByteArrayView bytes) {
  ByteCursor cursor(bytes);
  const QByteArrayView magic = cursor.Take(4);
  const int major = cursor.U16Be();
  const int minor = cursor.U16Be();
  const std::uint32_t blocks = cursor.U32Be();
  if (!cursor.Ok() || magic != QByteArrayView("ASEF"))
    return Refused(kNotAse.arg(QStringLiteral("it does not start with \"ASEF\" and a header.")));

  QStringList versionWarning;
  if (major != 1 || minor != 0)
    versionWarning << QStringLiteral(
                          "has swatch exchange version %1.%2; it was read as version "
                          "1.0.")
                          .arg(major)
                          .arg(minor);
  PaletteCollector collector;
  // Every block takes at least six bytes, so the count cannot run the loop past the data.
  for (std::uint32_t k = 0; k < blocks; ++k) {
    const int type = cursor.U16Be();
    const QByteArrayView data = cursor.Take(cursor.U32Be());
    if (!cursor.Ok())
      return Refused(kNotAse.arg(QStringLiteral("it ends inside block %1 of the %2 it announces.")
                                     .arg(k + 1)
                                     .arg(blocks)));
    if (type != 0x0001) continue;
    const std::optional<Swatch> swatch = ReadColorBlock(data);
    if (!swatch)
      return Refused(kNotAse.arg(
          QStringLiteral("block %1 does not hold a colour of a known model.").arg(k + 1)));
    collector.Add(swatch->color, swatch->model);
  }
  PaletteRead read = std::move(collector).Finish();
  if (!read.colors.empty()) read.warnings = versionWarning + read.warnings;
  return read;
}

}  // namespace tavlo
