#pragma once
// Text forms of numbers used wherever a colour is shown as figures.
#include <QString>

#include "base/color_value.h"

namespace tavlo {

// The low byte of n as two upper-case hex digits: 0 -> "00", 10 -> "0A", 4095 -> "FF".
QString HexByte(std::int32_t n);

// The last three characters of n's decimal form after three leading blanks:
// 5 -> "  5", 255 -> "255", 1234 -> "234".
QString PadLeft3(std::int32_t n);

// The texts of the info panel for one colour: the hex line and the three channel lines.
struct EntryInfoTexts {
  QString hex;          // "FF8000"
  QString channels[3];  // red, green, blue: "255 FF", "128 80", "  0 00"
};
EntryInfoTexts EntryInfoFor(ColorValue color);

// The two-line tooltip of a swatch: "n: 1\r\n#: FF0000".
QString SwatchTooltip(int index, ColorValue color);

}  // namespace tavlo
