#pragma once
// The two-step prompt for a range of palette entries by number, shared by the delete, preview and
// range-saving commands.
#include <QString>
#include <optional>

#include "base/entry_range.h"

class QWidget;

namespace tavlo {

// Asks for the first entry number (1..256), then the last (first..256); an answer that is not a
// plain whole number in range brings the same box back, empty, without a message. Cancel (or OK
// on an empty field) in either box gives nullopt.
std::optional<EntryRange> AskColorRange(QWidget* owner, const QString& startTitle,
                                        const QString& endTitle);

// AskColorRange with the titles of the preview and of saving a range.
std::optional<EntryRange> AskStartAndEndColor(QWidget* owner);

}  // namespace tavlo
