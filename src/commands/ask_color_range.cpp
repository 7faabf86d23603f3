#include "commands/ask_color_range.h"

#include "dialogs/dialog_service.h"
#include "operations/entry_number.h"

namespace tavlo {
namespace {

constexpr int kLastNumber = 256;

// Asks until the answer is a plain whole number in [low, 256]; nullopt on an empty answer.
std::optional<int> AskNumber(QWidget* owner, const QString& title, const QString& prompt, int low) {
  for (;;) {
    const QString answer = Dialogs().InputBox(owner, title, prompt);
    if (answer.isEmpty()) return std::nullopt;
    const std::optional<int> number = ReadPlainWholeNumber(answer);
    if (number && *number >= low && *number <= kLastNumber) return number;
  }
}

}  // namespace

std::optional<EntryRange> AskColorRange(QWidget* owner, const QString& startTitle,
                                        const QString& endTitle) {
  const std::optional<int> first = AskNumber(
      owner, startTitle, QStringLiteral("Please select startingcolor by number (1-256)"), 1);
  if (!first) return std::nullopt;
  const QString endPrompt =
      QStringLiteral("Please select endingcolor by number (%1-256)").arg(*first);
  const std::optional<int> last = AskNumber(owner, endTitle, endPrompt, *first);
  if (!last) return std::nullopt;
  return EntryRange{*first - 1, *last - 1};
}

std::optional<EntryRange> AskStartAndEndColor(QWidget* owner) {
  return AskColorRange(owner, QStringLiteral("Select starting color"),
                       QStringLiteral("Select endingcolor color"));
}

}  // namespace tavlo
