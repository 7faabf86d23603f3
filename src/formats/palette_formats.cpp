#include "formats/palette_formats.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <vector>

#include "base/file_signatures.h"
#include "formats/aco_format.h"
#include "formats/act_format.h"
#include "formats/ase_format.h"
#include "formats/bmp_palette_format.h"
#include "formats/gif_format.h"
#include "formats/gpl_format.h"
#include "formats/hex_format.h"
#include "formats/painter_txt_format.h"
#include "formats/pal_format.h"
#include "formats/palette_collector.h"
#include "formats/png_palette_format.h"
#include "formats/riff_pal_format.h"
#include "formats/text_lines.h"

namespace tavlo {
namespace {

using namespace Qt::Literals::StringLiterals;

bool LooksLikeJasc(QByteArrayView bytes) {
  return TrimBlanks(bytes.first(std::min<qsizetype>(bytes.size(), 16))).startsWith("JASC-PAL");
}
bool LooksLikeGif(QByteArrayView bytes) {
  return HasGifSignature({bytes.data(), size_t(bytes.size())});
}
bool LooksLikeGpl(QByteArrayView bytes) {
  return WithoutByteOrderMark(bytes).startsWith("GIMP Palette");
}
bool LooksLikeAse(QByteArrayView bytes) {
  return bytes.startsWith("ASEF");
}

QByteArray ActBytes(const PaletteColors& colors, EntryRange, const QString&) {
  return WriteAct(colors);
}
QByteArray PalBytes(const PaletteColors& colors, EntryRange entries, const QString&) {
  return WritePal(colors, entries.Count());
}
QByteArray AcoBytes(const PaletteColors& colors, EntryRange entries, const QString&) {
  return WriteAco(colors, entries.first, entries.last);
}
QByteArray PainterTxtBytes(const PaletteColors& colors, EntryRange entries, const QString&) {
  return WritePainterTxt(colors, entries.first, entries.last);
}
QByteArray GplBytes(const PaletteColors& colors, EntryRange entries, const QString& path) {
  return WriteGpl(colors, entries.first, entries.last, QFileInfo(path).completeBaseName());
}
QByteArray HexBytes(const PaletteColors& colors, EntryRange entries, const QString&) {
  return WriteHex(colors, entries.first, entries.last);
}

// In the order of the open filter. The first four formats, their captions (typing slips
// included) and the two "All formats" entries are the program's from its start and stay as
// they are; the formats added since come after them.
const std::array<PaletteFormat, 11> kFormats = {{
    {.ending = "act"_L1,
     .openCaption = u"Adobe palette-file"_s,
     .read = ReadAct,
     .saveCaption = u"Adobe ACT palette-file"_s,
     .saveSlot = 1,
     .write = ActBytes,
     .saved = SavedEntries::All},
    {.ending = "pal"_L1,
     .openCaption = u"Jasc palette-file"_s,
     .read = ReadPal,
     .looksLike = LooksLikeJasc,
     .saveCaption = u"Jasc palette-file"_s,
     .saveSlot = 3,
     .write = PalBytes,
     .saved = SavedEntries::SixteenOrAll},
    {.ending = "gif"_L1,
     .openCaption = u"Compuserve Graphics Interchange"_s,
     .read = ReadGif,
     .looksLike = LooksLikeGif},
    {.ending = "txt"_L1,
     .saveCaption = u"Painter palette-file "_s,
     .saveSlot = 4,
     .write = PainterTxtBytes,
     .saved = SavedEntries::AskedRange},
    {.ending = "gpl"_L1,
     .openCaption = u"GIMP palette"_s,
     .read = ReadGpl,
     .looksLike = LooksLikeGpl,
     .wholeFile = true,
     .added = true,
     .saveCaption = u"GIMP palette"_s,
     .saveSlot = 6,
     .write = GplBytes,
     .saved = SavedEntries::AskedRange},
    {.ending = "hex"_L1,
     .openCaption = u"Hex list"_s,
     .read = ReadHex,
     .wholeFile = true,
     .added = true,
     .saveCaption = u"Hex list"_s,
     .saveSlot = 7,
     .write = HexBytes,
     .saved = SavedEntries::AskedRange},
    {.ending = "ase"_L1,
     .openCaption = u"Swatch exchange"_s,
     .read = ReadAse,
     .looksLike = LooksLikeAse,
     .wholeFile = true,
     .added = true},
    {.ending = "aco"_L1,
     .openCaption = u"Colour swatches"_s,
     .read = ReadAco,
     .wholeFile = true,
     .added = true,
     .saveCaption = u"Adobe ACO palette-file"_s,
     .saveSlot = 2,
     .write = AcoBytes,
     .saved = SavedEntries::AskedRange},
    {.ending = "png"_L1,
     .openCaption = u"Indexed picture"_s,
     .read = ReadPngPalette,
     .looksLike = LooksLikePng,
     .added = true},
    {.ending = "bmp"_L1,
     .openCaption = u"Indexed picture"_s,
     .read = ReadBmpPalette,
     .looksLike = LooksLikeBmp,
     .added = true},
    // RIFF palettes share the ending "pal" with JASC files and are known by their content.
    {.read = ReadRiffPal, .looksLike = LooksLikeRiffPal, .wholeFile = true, .added = true},
}};

const QString kOpenAllFormats = u"All formats|*.act;*pal;*.gif"_s;
const QString kSaveAllFormats = u"All formats|*.act;*pal;*.txt"_s;
// The save filter's "All formats" entry comes after the first four formats' entries.
constexpr int kSaveAllFormatsSlot = 5;

PaletteRead ReadWith(const PaletteFormat& format, QByteArrayView bytes, bool complete) {
  if (format.wholeFile && !complete)
    return Refused(QStringLiteral("is larger than %1 MB, more than a palette file holds.")
                       .arg(kPaletteBytesRead / (1024 * 1024)));
  return format.read(bytes);
}

// "caption|*.a" entries, rows of the same caption side by side joined as "caption|*.a;*.b".
QString FilterOf(const std::vector<const PaletteFormat*>& formats,
                 QString PaletteFormat::*caption) {
  QStringList entries;
  QString lastCaption;
  for (const PaletteFormat* format : formats) {
    const QString pattern = "*."_L1 + format->ending;
    if (!entries.isEmpty() && format->*caption == lastCaption)
      entries.last() += u';' + pattern;
    else
      entries << format->*caption + u'|' + pattern;
    lastCaption = format->*caption;
  }
  return entries.join(u'|');
}

}  // namespace

std::span<const PaletteFormat> PaletteFormats() {
  return kFormats;
}

const PaletteFormat* FormatForEnding(QStringView ending) {
  for (const PaletteFormat& format : kFormats)
    if (!format.ending.isEmpty() && ending == format.ending) return &format;
  return nullptr;
}

const PaletteFormat* FormatForName(const QString& fileName) {
  return FormatForEnding(fileName.right(3).toLower());
}

QString OpenFilter() {
  std::vector<const PaletteFormat*> listed;
  for (const PaletteFormat& format : kFormats)
    if (!format.openCaption.isEmpty()) listed.push_back(&format);
  return kOpenAllFormats + u'|' + FilterOf(listed, &PaletteFormat::openCaption);
}

QString SaveFilter() {
  std::vector<const PaletteFormat*> first, added;
  for (const PaletteFormat& format : kFormats) {
    if (format.saveSlot == 0) continue;
    (format.saveSlot < kSaveAllFormatsSlot ? first : added).push_back(&format);
  }
  const auto bySlot = [](const PaletteFormat* a, const PaletteFormat* b) {
    return a->saveSlot < b->saveSlot;
  };
  std::sort(first.begin(), first.end(), bySlot);
  std::sort(added.begin(), added.end(), bySlot);
  return FilterOf(first, &PaletteFormat::saveCaption) + u'|' + kSaveAllFormats + u'|' +
         FilterOf(added, &PaletteFormat::saveCaption);
}

PaletteRead ReadPaletteAs(const PaletteFormat& named, const QString& path, QByteArrayView bytes,
                          bool complete) {
  const PaletteFormat* used = &named;
  PaletteRead read = ReadWith(named, bytes, complete);
  if (read.colors.empty()) {
    const PaletteFormat* byContent = FormatForContent(bytes);
    if (byContent && byContent != used) {
      used = byContent;
      read = ReadWith(*used, bytes, complete);
    }
  }
  if (used->added) {
    const QString name = QDir::toNativeSeparators(path);
    for (QString& warning : read.warnings)
      warning = QStringLiteral("The file %1 %2").arg(name, warning);
  }
  return read;
}

const PaletteFormat* FormatForContent(QByteArrayView bytes) {
  for (const PaletteFormat& format : kFormats)
    if (format.looksLike && format.looksLike(bytes)) return &format;
  return nullptr;
}

PaletteRead ReadPaletteFile(const PaletteFormat& named, const QString& path) {
  const auto unreadable = [&](const QString& reason) {
    return Refused(QStringLiteral("The file %1 could not be read:\n%2")
                       .arg(QDir::toNativeSeparators(path), reason));
  };
  // Only regular files are opened, so a pipe or a device never blocks the program.
  const QFileInfo info(path);
  if (info.exists() && !info.isFile())
    return unreadable(info.isDir() ? QStringLiteral("Is a directory")
                                   : QStringLiteral("Not a regular file"));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return unreadable(file.errorString());
  // One byte more than the limit tells whether the file is larger.
  QByteArray bytes = file.read(kPaletteBytesRead + 1);
  if (file.error() != QFileDevice::NoError) return unreadable(file.errorString());
  const bool complete = bytes.size() <= kPaletteBytesRead;
  if (!complete) bytes.truncate(kPaletteBytesRead);
  return ReadPaletteAs(named, path, bytes, complete);
}

QByteArray WritePaletteBytes(const PaletteFormat& format, const PaletteColors& colors,
                             EntryRange entries, const QString& path) {
  return format.write ? format.write(colors, entries, path) : QByteArray();
}

}  // namespace tavlo
