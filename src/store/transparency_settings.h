#pragma once
// The alpha threshold and the matte colour of pictures with alpha, as the settings file keeps
// them (section Optimize). A value that is missing, no number or out of range gives the default,
// and the file keeps what it holds until the user chooses again.
#include <QString>
#include <optional>

#include "base/color_value.h"

namespace tavlo {

// "1" to "255", blanks around it allowed.
std::optional<int> ParseAlphaThreshold(const QString& text);
// Six hex digits RRGGBB, with or without a leading '#', blanks around it allowed.
std::optional<ColorValue> ParseMatte(const QString& text);
// RRGGBB in lower case, as written.
QString MatteText(ColorValue matte);

int ReadAlphaThreshold();
ColorValue ReadMatte();
bool WriteAlphaThreshold(int threshold);
bool WriteMatte(ColorValue matte);

}  // namespace tavlo
