#include "palette_model/color_text.h"

#include <QRegularExpression>

namespace tavlo {

QString ColorText(ColorValue color) {
  return QStringLiteral("#%1%2%3")
      .arg(RedOf(color), 2, 16, QLatin1Char('0'))
      .arg(GreenOf(color), 2, 16, QLatin1Char('0'))
      .arg(BlueOf(color), 2, 16, QLatin1Char('0'));
}

std::optional<ColorValue> ReadColorText(const QString& text) {
  static const QRegularExpression hex(QStringLiteral("^#?([0-9A-Fa-f]{6})$"));
  static const QRegularExpression rgb(
      QStringLiteral(R"(^rgb\(\s*(\d{1,3})\s*,\s*(\d{1,3})\s*,\s*(\d{1,3})\s*\)$)"),
      QRegularExpression::CaseInsensitiveOption);
  const QString trimmed = text.trimmed();
  if (const QRegularExpressionMatch match = hex.match(trimmed); match.hasMatch()) {
    const uint value = match.captured(1).toUInt(nullptr, 16);
    return MakeColor(int(value >> 16), int((value >> 8) & 0xFF), int(value & 0xFF));
  }
  if (const QRegularExpressionMatch match = rgb.match(trimmed); match.hasMatch()) {
    int channels[3];
    for (int i = 0; i < 3; ++i) {
      channels[i] = match.captured(i + 1).toInt();
      if (channels[i] > 255) return std::nullopt;
    }
    return MakeColor(channels[0], channels[1], channels[2]);
  }
  return std::nullopt;
}

}  // namespace tavlo
