#include "operations/entry_number.h"

namespace tavlo {

std::optional<int> ReadPlainWholeNumber(const QString& answer) {
  if (answer.isEmpty() || answer.size() > 9) return std::nullopt;  // 9 digits always fit an int
  if (answer.size() > 1 && answer[0] == QLatin1Char('0')) return std::nullopt;
  int value = 0;
  for (const QChar c : answer) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    value = value * 10 + (c.unicode() - '0');
  }
  return value;
}

}  // namespace tavlo
