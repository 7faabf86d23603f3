#pragma once
// Replacing a file whole without ever leaving it half-written: the bytes go to a temporary file
// in the same directory, which is then renamed over the target. A failure leaves the old file as
// it was and removes the temporary file.
#include <QByteArray>
#include <QString>

namespace tavlo {

struct WriteResult {
  bool ok = false;
  QString error;  // the system's reason when !ok
  explicit operator bool() const { return ok; }
};

WriteResult WriteFileAtomically(const QString& path, const QByteArray& bytes);

// Writes all of `bytes` to the open file descriptor, going on after short writes and signals.
// Returns 0, or the system's error number.
int WriteAll(int fd, const QByteArray& bytes);

}  // namespace tavlo
