#include "store/version_caption.h"

#include "version.h"

namespace tavlo {

QString VersionText(int major, int minor, int revision) {
  QString text = QStringLiteral("%1.%2").arg(major).arg(minor);
  if (revision != 0) text += QStringLiteral(".%1").arg(revision);
  return text;
}

QString VersionCaption() {
  return QStringLiteral("Tavlo V") + VersionText(kVersionMajor, kVersionMinor, kVersionRevision);
}

}  // namespace tavlo
