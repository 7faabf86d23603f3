#pragma once
// Reading and replacing one key of an INI text, with the rules of the classic private-profile
// functions: section and key names match without regard to ASCII case, the first matching section
// and the first matching key in it win, everything else in the text is kept byte for byte.
// Pure functions over bytes, so they are tested (and fuzzed) without touching a disk.
#include <QByteArray>
#include <optional>

namespace tavlo::ini {

// The value of `key` in `section`, trimmed of blanks; nullopt when section or key is missing.
std::optional<QByteArray> FindValue(const QByteArray& text, const QByteArray& section,
                                    const QByteArray& key);

// `text` with `key` of `section` set to `value`: an existing value is replaced in its line, a
// missing key is added at the end of its section, a missing section is appended. New lines use
// the text's own line ends (CR LF when it has none yet).
QByteArray WithValue(const QByteArray& text, const QByteArray& section, const QByteArray& key,
                     const QByteArray& value);

}  // namespace tavlo::ini
