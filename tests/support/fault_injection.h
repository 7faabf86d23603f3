#pragma once
// Running a piece of a test in a child process under conditions a test cannot otherwise create:
// an unprivileged user (so that read-only files and directories really are read-only, even when
// the tests run as root) or a file-size limit (a full disk as far as the writer can tell).
#include <QString>
#include <functional>

namespace tavlo::testing {

struct ChildLimits {
  bool unprivileged = false;  // drop to user and group "nobody" when running as root
  long maxFileBytes = -1;     // RLIMIT_FSIZE; writes past it fail with EFBIG
};

// Runs `body` in a forked child under `limits` and returns its exit status (the body's return
// value), or -1 when the child died. Test expectations belong in the parent: the child reports
// through its exit status only.
int RunInChild(const ChildLimits& limits, const std::function<int()>& body);

// Makes the directory tree readable and traversable, but not writable, for every other user
// (and for its owner too when the tests do not run as root).
void MakeReadOnlyForOthers(const QString& dir);

}  // namespace tavlo::testing
