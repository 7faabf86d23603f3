#include "formats/pal_format.h"

#include <algorithm>
#include <optional>

#include "formats/text_lines.h"

namespace tavlo {
namespace {

// Removes leading and trailing spaces (blanks only, as the file's own separator).
QByteArrayView TrimSpaces(QByteArrayView text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && text[first] == ' ') ++first;
  while (last > first && text[last - 1] == ' ') --last;
  return text.sliced(first, last - first);
}

// A plain decimal number of the file: digits only, at most 32767 (the widest number the format's
// fields hold). Leading zeros are allowed.
std::optional<int> ReadNumber(QByteArrayView field) {
  if (field.isEmpty()) return std::nullopt;
  int value = 0;
  for (const char c : field) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 32767) return std::nullopt;
  }
  return value;
}

std::optional<ColorValue> ReadColorLine(QByteArrayView line) {
  const QByteArrayView trimmed = TrimSpaces(line);
  const qsizetype first = trimmed.indexOf(' ');
  if (first < 0) return std::nullopt;
  const qsizetype second = trimmed.indexOf(' ', first + 1);
  if (second < 0) return std::nullopt;
  const auto red = ReadNumber(trimmed.first(first));
  const auto green = ReadNumber(trimmed.sliced(first + 1, second - first - 1));
  const auto blue = ReadNumber(trimmed.sliced(second + 1));
  if (!red || !green || !blue) return std::nullopt;
  return MakeColor(std::min(*red, 255), std::min(*green, 255), std::min(*blue, 255));
}

}  // namespace

PaletteRead ReadPal(QByteArrayView bytes) {
  PaletteRead result;
  LineReader lines(bytes);

  const auto signature = lines.Next();
  if (!signature || TrimSpaces(*signature) != QByteArrayView("JASC-PAL")) {
    result.warnings << kPalNotJasc;
    return result;
  }
  const auto version = lines.Next();
  if (!version) {
    result.warnings << kPalInvalid;
    return result;
  }
  if (TrimSpaces(*version) != QByteArrayView("0100")) result.warnings << kPalOtherVersion;

  const auto countLine = lines.Next();
  const std::optional<int> count = countLine ? ReadNumber(TrimSpaces(*countLine)) : std::nullopt;
  if (count != 16 && count != 256) {
    result.warnings << kPalInvalid;
    return result;
  }

  result.colors.reserve(*count);
  for (int k = 0; k < *count; ++k) {
    const auto line = lines.Next();
    const std::optional<ColorValue> color = line ? ReadColorLine(*line) : std::nullopt;
    if (!color) {
      result.warnings << kPalInvalid;
      break;
    }
    result.colors.push_back(*color);
  }
  return result;
}

QByteArray WritePal(const PaletteColors& colors, int count) {
  count = std::clamp(count, 0, kPaletteSize);
  QByteArray text = "JASC-PAL\r\n0100\r\n" + QByteArray::number(count) + "\r\n";
  for (int k = 0; k < count; ++k) {
    const Rgb rgb = SplitColor(colors[k]);
    text += QByteArray::number(rgb.red) + ' ' + QByteArray::number(rgb.green) + ' ' +
            QByteArray::number(rgb.blue) + "\r\n";
  }
  return text;
}

}  // namespace tavlo
