#include "formats/painter_txt_format.h"

#include "formats/palette_read.h"

namespace tavlo {
namespace {

QByteArray ThreeDigits(int component) {
  return QByteArray::number(component).rightJustified(3, '0');
}

}  // namespace

QByteArray WritePainterTxt(const PaletteColors& colors, int first, int last) {
  const int count = last - first + 1;
  const int rows = (count - 1) / 16 + 1;
  QByteArray text;
  text += "ROWS " + QByteArray::number(rows) + "\r\n";
  text += "COLS " + QByteArray::number(count > 16 ? 16 : count) + "\r\n";
  text += "WIDTH 16\r\nHEIGHT 16\r\nTEXTHEIGHT 0\r\nSPACING 1\r\n";
  for (int i = first; i <= last; ++i) {
    const Rgb rgb = SplitColor(colors[i]);
    text += "R: " + ThreeDigits(rgb.red) + ", G: " + ThreeDigits(rgb.green) +
            ", B: " + ThreeDigits(rgb.blue) + "\r\n";
  }
  return text;
}

}  // namespace tavlo
