#include "formats/palette_collector.h"

#include <QStringList>

namespace tavlo {
namespace {

QString ModelName(SwatchModel model) {
  switch (model) {
    case SwatchModel::Hsb:
      return QStringLiteral("HSB");
    case SwatchModel::Cmyk:
      return QStringLiteral("CMYK");
    case SwatchModel::Lab:
      return QStringLiteral("Lab");
    case SwatchModel::Grey:
      return QStringLiteral("greyscale");
    case SwatchModel::Rgb:
      break;
  }
  return QStringLiteral("RGB");
}

// "CMYK", "CMYK and Lab", "CMYK, Lab and greyscale".
QString JoinedModels(const QStringList& names) {
  if (names.size() <= 1) return names.value(0);
  return names.first(names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
         names.last();
}

}  // namespace

void PaletteCollector::Add(ColorValue color, SwatchModel model) {
  ++total_;
  if (read_.colors.size() >= size_t(kPaletteSize)) return;
  read_.colors.push_back(color);
  if (model != SwatchModel::Rgb) ++convertedByModel_[static_cast<size_t>(model)];
}

PaletteRead PaletteCollector::Finish() && {
  if (total_ == 0) return Refused(QStringLiteral("holds no colours."));
  int converted = 0;
  QStringList models;
  for (size_t m = 0; m < convertedByModel_.size(); ++m) {
    if (convertedByModel_[m] == 0) continue;
    converted += convertedByModel_[m];
    models << ModelName(static_cast<SwatchModel>(m));
  }
  if (converted > 0)
    read_.warnings << QStringLiteral("holds %1 %2 in %3, converted to sRGB.")
                          .arg(converted)
                          .arg(converted == 1 ? QStringLiteral("swatch")
                                              : QStringLiteral("swatches"))
                          .arg(JoinedModels(models));
  if (total_ > kPaletteSize)
    read_.warnings << QStringLiteral(
                          "holds %1 colours; the first 256 were read and the other %2 left out.")
                          .arg(total_)
                          .arg(total_ - kPaletteSize);
  return std::move(read_);
}

PaletteRead Refused(const QString& reason) {
  PaletteRead read;
  read.warnings << reason;
  return read;
}

}  // namespace tavlo
