#include "store/transparency_settings.h"

#include "store/settings.h"

namespace tavlo {

std::optional<int> ParseAlphaThreshold(const QString& text) {
  const QString digits = text.trimmed();
  bool ok = false;
  const int value = digits.toInt(&ok, 10);
  if (!ok || digits.size() > 3 || !digits.front().isDigit()) return std::nullopt;
  return value >= 1 && value <= 255 ? std::optional(value) : std::nullopt;
}

std::optional<ColorValue> ParseMatte(const QString& text) {
  QString hex = text.trimmed();
  if (hex.startsWith(QLatin1Char('#'))) hex.remove(0, 1);
  bool ok = false;
  const uint value = hex.toUInt(&ok, 16);
  if (!ok || hex.size() != 6 || hex.front() == QLatin1Char('+')) return std::nullopt;
  return MakeColor(int(value >> 16) & 0xFF, int(value >> 8) & 0xFF, int(value) & 0xFF);
}

QString MatteText(ColorValue matte) {
  return QStringLiteral("%1").arg(ToRgbPixel(matte) & 0xFFFFFF, 6, 16, QLatin1Char('0'));
}

int ReadAlphaThreshold() {
  return ParseAlphaThreshold(ReadKey(keys::kAlphaThreshold)).value_or(kDefaultAlphaThreshold);
}

ColorValue ReadMatte() {
  return ParseMatte(ReadKey(keys::kMatte)).value_or(kWhiteColor);
}

bool WriteAlphaThreshold(int threshold) {
  return WriteKey(keys::kAlphaThreshold, QString::number(threshold));
}

bool WriteMatte(ColorValue matte) {
  return WriteKey(keys::kMatte, MatteText(matte));
}

}  // namespace tavlo
