#pragma once
// Reading an entry number typed by the user (1-based, as the user sees entries).
#include <QString>
#include <optional>

namespace tavlo {

// The whole number the answer reads as, when it reads back exactly: the answer must be written as
// the number itself would be, digits only, no sign, no leading zero, no blanks, no fraction or
// exponent ("12" passes; "012", " 12", "+12", "12.0", "2.5", "1e1" do not). Numbers of any length
// are handled; those beyond the int range simply come back as nullopt.
std::optional<int> ReadPlainWholeNumber(const QString& answer);

}  // namespace tavlo
