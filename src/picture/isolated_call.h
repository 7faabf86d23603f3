#pragma once
// Running a third-party decoder in a short-lived child process, so that whatever it does with a
// hostile file (crash, endless loop, runaway allocation, leaks) ends as an ordinary failure of one
// load and never touches the program itself.
#include <QByteArray>
#include <functional>
#include <optional>

namespace tavlo {

struct IsolationLimits {
  int seconds = 10;                               // wall-clock and CPU time
  qint64 memoryBytes = 2LL * 1024 * 1024 * 1024;  // address space of the child
  qint64 maxOutputBytes = 300LL * 1024 * 1024;    // what the child may hand back
};

// The bytes `work` produced in the child, or nullopt when it gave none, failed, died, or broke a
// limit. `work` runs after fork(): it must not use Qt's GUI classes or anything that needs
// another thread of the program.
std::optional<QByteArray> RunIsolated(const IsolationLimits& limits,
                                      const std::function<std::optional<QByteArray>()>& work);

}  // namespace tavlo
