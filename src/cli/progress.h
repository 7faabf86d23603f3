#pragma once
// Progress for a person watching a long run: one line on stderr per finished input, with the
// count and the time still to go once there are more than a few inputs. Nothing at all when
// stderr is not a terminal (a script reads the results, not the progress) or with --quiet.
#include <QElapsedTimer>
#include <QString>

#include "cli/cli_io.h"

namespace tavlo::cli {

// From this many inputs on, a line carries the count and the time left.
inline constexpr int kCountedProgressFrom = 4;

// "[ 3/12] text (8 s left)" for `done` of `total` finished after `elapsedMs`; only `text` for
// fewer than kCountedProgressFrom inputs.
QString ProgressLine(int done, int total, qint64 elapsedMs, const QString& text);

class Progress {
 public:
  Progress(CliIo& io, int total, bool quiet);
  // One more input finished; `text` says which and how it went.
  void Finished(const QString& text);

 private:
  CliIo& io_;
  int total_;
  int done_ = 0;
  bool shown_;
  QElapsedTimer clock_;
};

}  // namespace tavlo::cli
