#include "app/loss_budget_setting.h"

#include "color_science/s_cielab.h"
#include "reduction/loss_budget.h"
#include "store/settings.h"

namespace tavlo {

double ReadLossBudget() {
  return ParseLossBudget(ReadKey(keys::kLossBudget)).value_or(0);
}

void StoreLossBudget(double budget) {
  // A user who never set a budget finds the settings file as it always was.
  if (budget == 0 && !KeyExists(keys::kLossBudget)) return;
  WriteKey(keys::kLossBudget, QString::number(budget, 'f', 1));
}

double ReadViewingPpd() {
  bool ok = false;
  const double ppd = ReadKey(keys::kViewingPpd).trimmed().toDouble(&ok);
  return ok && ppd >= kMinViewingPpd && ppd <= kMaxViewingPpd ? ppd : kDefaultViewingPpd;
}

void StoreViewingPpd(double ppd) {
  // As with the budget: the default is written only over a key that is there.
  if (ppd == kDefaultViewingPpd && !KeyExists(keys::kViewingPpd)) return;
  WriteKey(keys::kViewingPpd, QString::number(ppd));
}

}  // namespace tavlo
