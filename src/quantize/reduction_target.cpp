#include "quantize/reduction_target.h"

#include "base/thousands.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tavlo {
namespace {

// The text without blanks, in lower case, without a leading "≤" or "<=".
std::string Normalised(std::string_view text) {
  std::string s;
  for (unsigned char c : text)
    if (!std::isspace(c)) s.push_back(static_cast<char>(std::tolower(c)));
  for (std::string_view prefix : {"\u2264", "<=", "<"})
    if (s.rfind(prefix, 0) == 0) return s.substr(prefix.size());
  return s;
}

}  // namespace

std::optional<ReductionTarget> ReductionTarget::Parse(std::string_view text) {
  const std::string s = Normalised(text);
  const std::size_t unitAt = s.find_first_not_of("0123456789.");
  const std::string number = s.substr(0, unitAt);
  const std::string unit = unitAt == std::string::npos ? "" : s.substr(unitAt);
  if (number.empty() || number.front() == '.' || number.back() == '.' ||
      std::count(number.begin(), number.end(), '.') > 1)
    return std::nullopt;
  ReductionTarget target;
  if (unit == "%" || unit == "%visible") {
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc{} || end != number.data() + number.size() || value > 100)
      return std::nullopt;
    target.kind = unit == "%" ? Kind::ShareAboveOne : Kind::VisibleShareAboveOne;
    target.percent = value;
    return target;
  }
  std::uint64_t scale = 0;
  if (unit.empty() || unit == "b" || unit == "bytes" || unit == "byte")
    scale = 1;
  else if (unit == "kb" || unit == "k")
    scale = 1000;
  else if (unit == "mb" || unit == "m")
    scale = 1000 * 1000;
  if (scale == 0 || (scale == 1 && number.find('.') != std::string::npos)) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc{} || end != number.data() + number.size() ||
      value * static_cast<double>(scale) > 1e15)
    return std::nullopt;
  target.kind = Kind::GifBytes;
  target.bytes = static_cast<std::uint64_t>(std::llround(value * static_cast<double>(scale)));
  return target;
}

std::string ReductionTarget::Describe() const {
  if (kind == Kind::GifBytes) return "\u2264 " + WithThousands(bytes) + " bytes";
  char text[32];
  std::snprintf(text, sizeof text, "\u2264 %g %%", percent);
  return kind == Kind::VisibleShareAboveOne ? std::string(text) + " visible" : std::string(text);
}

}  // namespace tavlo
