#pragma once
#include <QString>

namespace tavlo {

// "0.9.1" style version text: the revision only when it is not 0 ("1.2" for 1.2.0).
QString VersionText(int major, int minor, int revision);

// The main window's caption at start-up: "Tavlo V0.9.1".
QString VersionCaption();

}  // namespace tavlo
