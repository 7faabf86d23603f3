#include "store/state_directory.h"

#include <QDir>

namespace tavlo {

QString ChooseStateDirectory(const QString& xdgStateHome, const QString& home) {
  // A relative value is to be ignored, as the desktop's base directory rules say.
  const QString stateHome =
      QDir::isAbsolutePath(xdgStateHome) ? xdgStateHome : home + QStringLiteral("/.local/state");
  return QDir::cleanPath(stateHome + QStringLiteral("/tavlo"));
}

QString GetStateDirectory() {
  return ChooseStateDirectory(qEnvironmentVariable("XDG_STATE_HOME"), QDir::homePath());
}

}  // namespace tavlo
