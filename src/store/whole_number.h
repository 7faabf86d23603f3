#pragma once
// Reading the small whole numbers kept in the settings file (window positions, the recent-list
// length).
#include <QString>
#include <cstdint>
#include <optional>

namespace tavlo {

// The text as a 16-bit whole number: blanks around it are ignored, an optional sign and a decimal
// fraction are allowed, the fraction rounds to the nearest whole number with halves to the even
// one ("4.5" -> 4, "5.5" -> 6). Anything else, or a result outside -32768..32767, is nullopt.
std::optional<std::int16_t> ParseWholeNumber16(const QString& text);

// ParseWholeNumber16, or `fallback` when the text is no usable number.
std::int16_t WholeNumber16Or(const QString& text, std::int16_t fallback);

}  // namespace tavlo
