#pragma once
// Painter colour-set text files. Every line ends in CR LF. With N colours:
//
//   ROWS <(N - 1) div 16 + 1>
//   COLS <N, or 16 when N is larger>
//   WIDTH 16
//   HEIGHT 16
//   TEXTHEIGHT 0
//   SPACING 1
//   R: rrr, G: ggg, B: bbb        one line per colour, each component three digits, zero-padded
#include <QByteArray>

#include "base/color_value.h"

namespace tavlo {

// The file of entries first..last (0-based, both included; 0 <= first <= last <= 255).
QByteArray WritePainterTxt(const PaletteColors& colors, int first, int last);

}  // namespace tavlo
