#include "store/whole_number.h"

namespace tavlo {

std::optional<std::int16_t> ParseWholeNumber16(const QString& text) {
  const QString s = text.trimmed();
  qsizetype i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  // Whole part, kept small: anything past six digits is out of range anyway.
  std::int64_t whole = 0;
  qsizetype digits = 0;
  for (; i < s.size() && s[i].isDigit() && s[i].unicode() < 128; ++i, ++digits) {
    if (whole < 1000000) whole = whole * 10 + (s[i].unicode() - '0');
  }
  // Fraction: only its first digit and whether anything non-zero follows matter for rounding.
  int firstFractionDigit = 0;
  bool restNonZero = false;
  qsizetype fractionDigits = 0;
  if (i < s.size() && s[i] == '.') {
    for (++i; i < s.size() && s[i].isDigit() && s[i].unicode() < 128; ++i, ++fractionDigits) {
      const int d = s[i].unicode() - '0';
      if (fractionDigits == 0)
        firstFractionDigit = d;
      else if (d != 0)
        restNonZero = true;
    }
  }
  if (i != s.size() || digits + fractionDigits == 0) return std::nullopt;
  const bool roundUp = firstFractionDigit > 5 || (firstFractionDigit == 5 && restNonZero) ||
                       (firstFractionDigit == 5 && !restNonZero && whole % 2 == 1);
  if (roundUp) ++whole;
  if (negative) whole = -whole;
  if (whole < -32768 || whole > 32767) return std::nullopt;
  return static_cast<std::int16_t>(whole);
}

std::int16_t WholeNumber16Or(const QString& text, std::int16_t fallback) {
  return ParseWholeNumber16(text).value_or(fallback);
}

}  // namespace tavlo
