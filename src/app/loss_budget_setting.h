#pragma once
// The result window's loss budget between runs: section Optimize, key LossBudget.
namespace tavlo {

// The stored budget, or 0 when there is none or it is no budget (not a number from 0 to 10).
double ReadLossBudget();

// Stores it with one decimal, as the result window shows it; a budget of 0 only when the key is
// there already.
void StoreLossBudget(double budget);

}  // namespace tavlo
