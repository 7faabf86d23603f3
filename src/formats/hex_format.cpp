#include "formats/hex_format.h"

#include <optional>

#include "formats/palette_collector.h"
#include "formats/text_lines.h"

namespace tavlo {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsComment(QByteArrayView line) {
  return line.startsWith('#') && (line.size() == 1 || HexDigit(line[1]) < 0);
}

// Six or eight hex digits and nothing else.
std::optional<ColorValue> ReadCode(QByteArrayView digits) {
  if (digits.size() != 6 && digits.size() != 8) return std::nullopt;
  int value[4] = {0, 0, 0, 0};
  for (qsizetype k = 0; k < digits.size(); ++k) {
    const int digit = HexDigit(digits[k]);
    if (digit < 0) return std::nullopt;
    value[k / 2] = value[k / 2] * 16 + digit;
  }
  return MakeColor(value[0], value[1], value[2]);
}

}  // namespace

PaletteRead ReadHex(QByteArrayView bytes) {
  LineReader lines(WithoutByteOrderMark(bytes));
  PaletteCollector collector;
  while (const auto next = lines.Next()) {
    QByteArrayView line = TrimBlanks(*next);
    if (line.isEmpty() || IsComment(line)) continue;
    if (line.startsWith('#')) line = line.sliced(1);
    const std::optional<ColorValue> color = ReadCode(line);
    if (!color)
      return Refused(QStringLiteral("is not a hex list: line %1 is not a colour of six hex digits.")
                         .arg(lines.LineNumber()));
    collector.Add(*color);
  }
  return std::move(collector).Finish();
}

QByteArray WriteHex(const PaletteColors& colors, int first, int last) {
  QByteArray text;
  text.reserve(7 * (last - first + 1));
  for (int i = first; i <= last; ++i) {
    const Rgb rgb = SplitColor(colors[i]);
    const int packed = (rgb.red << 16) | (rgb.green << 8) | rgb.blue;
    text += QByteArray::number(packed, 16).rightJustified(6, '0') + '\n';
  }
  return text;
}

}  // namespace tavlo
