#include "store/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
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

namespace {

// A new file beside the target, named `.NAME.XXXXXX`, created with mode 0666 so that the kernel
// applies the umask: reading the umask would mean setting it, and that races with writes on other
// threads. Returns the descriptor, or -1 with errno set.
int CreateTemporaryBeside(const QFileInfo& target, QByteArray* name) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    *name = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                              u'.' + QString::number(QRandomGenerator::global()->generate(), 36));
    const int fd = ::open(name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Makes a rename in `directory` survive a power loss; file systems that cannot sync a directory
// are left as they are.
void SyncDirectory(const QString& directory) {
  const int fd =
      ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

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
  QByteArray tempName;
  const int fd = CreateTemporaryBeside(target, &tempName);
  if (fd < 0) return {false, SystemReason(errno)};

  int error = WriteAll(fd, bytes);
  // A replaced file keeps its permissions; a new one has those the umask gave the temporary.
  struct stat old;
  if (error == 0 && ::stat(finalName.constData(), &old) == 0 &&
      ::fchmod(fd, old.st_mode & 07777) != 0)
    error = errno;
  if (error == 0 && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) error = errno;
  if (::close(fd) != 0 && error == 0 && errno != EINTR) error = errno;
  if (error == 0 && ::rename(tempName.constData(), finalName.constData()) != 0) error = errno;
  if (error != 0) {
    ::unlink(tempName.constData());
    return {false, SystemReason(error)};
  }
  SyncDirectory(target.absolutePath());
  return {true, {}};
}

}  // namespace tavlo
