#include "reduction/loss_budget.h"

#include <cmath>

namespace tavlo {

std::optional<double> ParseLossBudget(const QString& text) {
  bool ok = false;
  const double budget = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(budget) || budget < 0 || budget > kMaxLossBudget) return std::nullopt;
  return budget;
}

}  // namespace tavlo
