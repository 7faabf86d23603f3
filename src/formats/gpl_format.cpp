#include "formats/gpl_format.h"

#include <optional>

#include "formats/palette_collector.h"
#include "formats/text_lines.h"

namespace tavlo {
namespace {

const QString kNotGpl = QStringLiteral("is not a GIMP palette: %1");

// The decimal number at the start of `text`, 0..255, and the text after it.
std::optional<int> TakeComponent(QByteArrayView& text) {
  qsizetype digits = 0;
  int value = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
    value = value * 10 + (text[digits] - '0');
    if (value > 255) return std::nullopt;
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  text = text.sliced(digits);
  return value;
}

QByteArrayView SkipBlanks(QByteArrayView text) {
  qsizetype n = 0;
  while (n < text.size() && IsBlank(text[n])) ++n;
  return text.sliced(n);
}

// A colour line: `numbers` components (3, or 4 with alpha) and an optional name after blanks.
std::optional<ColorValue> ReadColorLine(QByteArrayView line, int numbers) {
  int components[4] = {0, 0, 0, 0};
  QByteArrayView rest = SkipBlanks(line);
  for (int k = 0; k < numbers; ++k) {
    if (k > 0) {
      if (rest.isEmpty() || !IsBlank(rest[0])) return std::nullopt;
      rest = SkipBlanks(rest);
    }
    const std::optional<int> value = TakeComponent(rest);
    if (!value) return std::nullopt;
    components[k] = *value;
  }
  if (!rest.isEmpty() && !IsBlank(rest[0])) return std::nullopt;
  return MakeColor(components[0], components[1], components[2]);
}

bool HasKey(QByteArrayView line, const char* key) {
  return line.startsWith(key);
}

}  // namespace

PaletteRead ReadGpl(QByteArrayView bytes) {
  LineReader lines(WithoutByteOrderMark(bytes));
  const auto header = lines.Next();
  if (!header || TrimBlanks(*header) != QByteArrayView("GIMP Palette"))
    return Refused(kNotGpl.arg(QStringLiteral("its first line is not \"GIMP Palette\".")));

  PaletteCollector collector;
  int numbers = 3;
  while (const auto next = lines.Next()) {
    const QByteArrayView line = TrimBlanks(*next);
    if (line.isEmpty() || line.startsWith('#')) continue;
    if (collector.Total() == 0) {
      if (HasKey(line, "Name:") || HasKey(line, "Columns:")) continue;
      if (HasKey(line, "Channels:")) {
        const QByteArrayView channels = TrimBlanks(line.sliced(9));
        if (channels == QByteArrayView("RGBA"))
          numbers = 4;
        else if (channels != QByteArrayView("RGB"))
          return Refused(kNotGpl.arg(QStringLiteral("line %1 names channels other than RGB "
                                                    "or RGBA.")
                                         .arg(lines.LineNumber())));
        continue;
      }
    }
    const std::optional<ColorValue> color = ReadColorLine(line, numbers);
    if (!color)
      return Refused(kNotGpl.arg(QStringLiteral("line %1 is neither a colour of numbers from 0 "
                                                "to 255 nor a comment.")
                                     .arg(lines.LineNumber())));
    collector.Add(*color);
  }
  return std::move(collector).Finish();
}

QByteArray WriteGpl(const PaletteColors& colors, int first, int last, const QString& name) {
  QString oneLineName = name;
  oneLineName.replace(QLatin1Char('\r'), QLatin1Char(' '))
      .replace(QLatin1Char('\n'), QLatin1Char(' '));
  QByteArray text = "GIMP Palette\nName: " + oneLineName.toUtf8() + "\nColumns: 16\n";
  for (int i = first; i <= last; ++i) {
    const Rgb rgb = SplitColor(colors[i]);
    text += QByteArray::number(rgb.red).rightJustified(3, ' ') + ' ' +
            QByteArray::number(rgb.green).rightJustified(3, ' ') + ' ' +
            QByteArray::number(rgb.blue).rightJustified(3, ' ') + "\tIndex " +
            QByteArray::number(i) + '\n';
  }
  return text;
}

}  // namespace tavlo
