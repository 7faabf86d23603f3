#include "store/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace tavlo {
namespace {

QString SystemReason(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

int WriteAll(int fd, const QByteArray& bytes) {
  const char* data = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (written == 0) return EIO;
    data += written;
    left -= written;
  }
  return 0;
}

// Done with the system calls themselves rather than QSaveFile: QSaveFile reports success when the
// disk fills up in the middle of a write (a short write is taken as complete), and then renames
// the cut-off file over the old one.
WriteResult WriteFileAtomically(const QString& path, const QByteArray& bytes) {
  QFileInfo target(path);
  // A link is followed, so that the file it points to is replaced and the link stays.
  if (target.isSymLink() && target.exists()) target = QFileInfo(target.canonicalFilePath());
  if (target.isDir()) return {false, SystemReason(EISDIR)};
  // A read-only file stays as it is, even though its directory would allow replacing it.
  if (target.exists() && ::access(QFile::encodeName(target.absoluteFilePath()), W_OK) != 0) {
    return {false, SystemReason(errno)};
  }

  const QByteArray finalName = QFile::encodeName(target.absoluteFilePath());
  QByteArray tempName = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") +
                                          target.fileName() + QStringLiteral(".XXXXXX"));
  const int fd = ::mkstemp(tempName.data());
  if (fd < 0) return {false, SystemReason(errno)};

  // The new file gets the old one's permissions, or those of any newly created file.
  struct stat old;
  mode_t mode;
  if (::stat(finalName.constData(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }

  int error = WriteAll(fd, bytes);
  if (error == 0 && ::fchmod(fd, mode) != 0) error = errno;
  if (error == 0 && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) error = errno;
  if (::close(fd) != 0 && error == 0 && errno != EINTR) error = errno;
  if (error == 0 && ::rename(tempName.constData(), finalName.constData()) != 0) error = errno;
  if (error != 0) {
    ::unlink(tempName.constData());
    return {false, SystemReason(error)};
  }
  return {true, {}};
}

}  // namespace tavlo
