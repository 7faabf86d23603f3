#pragma once
// A colour as text, the way colours travel through the clipboard between programs.
#include <QString>
#include <optional>

#include "base/color_value.h"

namespace tavlo {

// "#rrggbb", lower-case hex digits.
QString ColorText(ColorValue color);

// The colour a text names: "#rrggbb" or "rrggbb" (hex digits of either case), or
// "rgb(r, g, b)" with channels 0 to 255; blanks around the text and inside "rgb(...)" are
// allowed. Nothing for any other text.
std::optional<ColorValue> ReadColorText(const QString& text);

}  // namespace tavlo
