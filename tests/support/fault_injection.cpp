#include "support/fault_injection.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace tavlo::testing {
namespace {

constexpr uid_t kNobody = 65534;

}  // namespace

int RunInChild(const ChildLimits& limits, const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (limits.unprivileged && geteuid() == 0) {
      if (setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(120);
    }
    if (limits.maxFileBytes >= 0) {
      // Past the limit a write fails with EFBIG instead of killing the process.
      signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{static_cast<rlim_t>(limits.maxFileBytes),
                         static_cast<rlim_t>(limits.maxFileBytes)};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(121);
    }
    _exit(body());
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

void MakeReadOnlyForOthers(const QString& dir) {
  // Run by an unprivileged user, the tests write as that user: then the owner loses write too.
  const bool root = geteuid() == 0;
  const auto allowRead = [root](const QString& path, bool isDir) {
    const mode_t mode = isDir ? (root ? 0755 : 0555) : (root ? 0644 : 0444);
    chmod(QFile::encodeName(path).constData(), mode);
  };
  allowRead(dir, true);
  QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    allowRead(path, it.fileInfo().isDir());
  }
  // The temporary directory's parents must be traversable too.
  for (QDir up(dir); up.cdUp() && up.path() != QDir::rootPath();) {
    struct stat info;
    const QByteArray p = QFile::encodeName(up.path());
    if (stat(p.constData(), &info) == 0) chmod(p.constData(), info.st_mode | 0111);
  }
}

}  // namespace tavlo::testing
