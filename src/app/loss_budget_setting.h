#pragma once
// The result window's loss budget between runs: section Optimize, key LossBudget; and the
// viewing condition of its visible loss, key ViewingPPD.
namespace tavlo {

// The stored budget, or 0 when there is none or it is no budget (not a number from 0 to 10).
double ReadLossBudget();

// Stores it with one decimal, as the result window shows it; a budget of 0 only when the key is
// there already.
void StoreLossBudget(double budget);

// The stored samples per degree (1 to 1000), or the default when there are none.
double ReadViewingPpd();
// Stores it; the default only when the key is there already.
void StoreViewingPpd(double ppd);

}  // namespace tavlo
