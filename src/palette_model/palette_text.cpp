#include "palette_model/palette_text.h"

#include "colorlib/tavlo_color.h"

namespace tavlo {

QString HexByte(std::int32_t n) {
  const auto low = static_cast<unsigned>(n) & 0xFFu;
  return QStringLiteral("%1").arg(low, 2, 16, QLatin1Char('0')).toUpper();
}

QString PadLeft3(std::int32_t n) {
  const QString padded = QStringLiteral("   ") + QString::number(n);
  return padded.right(3);
}

EntryInfoTexts EntryInfoFor(ColorValue color) {
  std::int32_t channel[3] = {0, 0, 0};
  GetRGB(color, &channel[0], &channel[1], &channel[2]);
  EntryInfoTexts texts;
  texts.hex = HexByte(channel[0]) + HexByte(channel[1]) + HexByte(channel[2]);
  for (int i = 0; i < 3; ++i) texts.channels[i] = PadLeft3(channel[i]) + ' ' + HexByte(channel[i]);
  return texts;
}

QString SwatchTooltip(int index, ColorValue color) {
  std::int32_t r = 0, g = 0, b = 0;
  GetRGB(color, &r, &g, &b);
  return QStringLiteral("n: %1\r\n#: %2%3%4")
      .arg(index + 1)
      .arg(HexByte(r), HexByte(g), HexByte(b));
}

}  // namespace tavlo
