#include "formats/palette_formats.h"

#include <QDir>
#include <array>

#include "formats/aco_format.h"
#include "formats/act_format.h"
#include "formats/ase_format.h"
#include "formats/bmp_palette_format.h"
#include "formats/gif_format.h"
#include "formats/gpl_format.h"
#include "formats/hex_format.h"
#include "formats/pal_format.h"
#include "formats/png_palette_format.h"
#include "formats/riff_pal_format.h"
#include "formats/text_lines.h"

namespace tavlo {
namespace {

bool LooksLikeJasc(QByteArrayView bytes) {
  return TrimBlanks(bytes.first(std::min<qsizetype>(bytes.size(), 16))).startsWith("JASC-PAL");
}
bool LooksLikeGif(QByteArrayView bytes) {
  return bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a");
}
bool LooksLikeGpl(QByteArrayView bytes) {
  return WithoutByteOrderMark(bytes).startsWith("GIMP Palette");
}
bool LooksLikeAse(QByteArrayView bytes) {
  return bytes.startsWith("ASEF");
}

using namespace Qt::Literals::StringLiterals;

const std::array kReaders = {
    PaletteReader{"act"_L1, ReadAct, nullptr, false},
    PaletteReader{"pal"_L1, ReadPal, LooksLikeJasc, false},
    PaletteReader{"gif"_L1, ReadGif, LooksLikeGif, false},
    PaletteReader{"gpl"_L1, ReadGpl, LooksLikeGpl, true},
    PaletteReader{"hex"_L1, ReadHex, nullptr, true},
    PaletteReader{"ase"_L1, ReadAse, LooksLikeAse, true},
    PaletteReader{"aco"_L1, ReadAco, nullptr, true},
    PaletteReader{"png"_L1, ReadPngPalette, LooksLikePng, true},
    PaletteReader{"bmp"_L1, ReadBmpPalette, LooksLikeBmp, true},
    PaletteReader{QLatin1StringView(), ReadRiffPal, LooksLikeRiffPal, true},
};

const PaletteReader* ReaderForContent(QByteArrayView bytes) {
  for (const PaletteReader& reader : kReaders)
    if (reader.looksLike && reader.looksLike(bytes)) return &reader;
  return nullptr;
}

}  // namespace

const PaletteReader* ReaderForEnding(QStringView ending) {
  for (const PaletteReader& reader : kReaders)
    if (!reader.ending.isEmpty() && ending == reader.ending) return &reader;
  return nullptr;
}

const PaletteReader* ReaderForName(const QString& fileName) {
  return ReaderForEnding(fileName.right(3).toLower());
}

PaletteRead ReadPaletteAs(const PaletteReader& named, const QString& path, QByteArrayView bytes) {
  const PaletteReader* used = &named;
  PaletteRead read = used->read(bytes);
  if (read.colours.empty()) {
    const PaletteReader* byContent = ReaderForContent(bytes);
    if (byContent && byContent != used) {
      used = byContent;
      read = used->read(bytes);
    }
  }
  if (used->warningsNameTheFile) {
    const QString name = QDir::toNativeSeparators(path);
    for (QString& warning : read.warnings)
      warning = QStringLiteral("The file %1 %2").arg(name, warning);
  }
  return read;
}

}  // namespace tavlo
