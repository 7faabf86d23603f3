#pragma once
// The loss budget: how far (CIEDE2000) the GIF encoder may move a pixel from its colour when that
// makes the file smaller. 0 is the exact reduction.
#include <QString>
#include <optional>

namespace tavlo {

// Largest loss budget: beyond it substitutions are plainly visible.
inline constexpr double kMaxLossBudget = 10.0;

// A budget written as a decimal number from 0 to 10 ("1.5", blanks around it allowed); nullopt
// for anything else.
std::optional<double> ParseLossBudget(const QString& text);

}  // namespace tavlo
