#pragma once
// Whole numbers as every message and figure of the program writes them: digits in groups of
// three, "1,234,567", whatever the user's locale says.
#include <cstdint>
#include <string>

namespace tavlo {

inline std::string WithThousands(std::uint64_t n) {
  const std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(',');
    out.push_back(digits[i]);
  }
  return out;
}

}  // namespace tavlo
