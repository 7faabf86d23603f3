#include "app/atomic_file.h"

#include <QSaveFile>

namespace tavlo {

WriteResult WriteFileAtomically(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  // Never fall back to writing the target in place: that is what could leave it half-written.
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) return {false, file.errorString()};
  if (file.write(bytes) != bytes.size()) {
    const QString reason = file.errorString();
    file.cancelWriting();
    return {false, reason};
  }
  if (!file.commit()) return {false, file.errorString()};
  return {true, {}};
}

}  // namespace tavlo
