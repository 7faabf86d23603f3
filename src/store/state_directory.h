#pragma once
// The user's state directory of the program: what it keeps between runs that is neither a
// setting nor a user's file (the last session's palette).
#include <QString>

namespace tavlo {

// <stateHome>/tavlo, where stateHome is `xdgStateHome` when that is an absolute path and
// <home>/.local/state otherwise.
QString ChooseStateDirectory(const QString& xdgStateHome, const QString& home);

// ChooseStateDirectory for the running program, from XDG_STATE_HOME and the home directory.
QString GetStateDirectory();

}  // namespace tavlo
