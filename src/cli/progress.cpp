#include "cli/progress.h"

namespace tavlo::cli {
namespace {

QString TimeLeft(qint64 seconds) {
  if (seconds < 60) return QStringLiteral("%1 s left").arg(seconds);
  const qint64 minutes = seconds / 60;
  if (minutes < 60)
    return QStringLiteral("%1:%2 left").arg(minutes).arg(seconds % 60, 2, 10, QLatin1Char('0'));
  return QStringLiteral("%1:%2:%3 left")
      .arg(minutes / 60)
      .arg(minutes % 60, 2, 10, QLatin1Char('0'))
      .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

QString ProgressLine(int done, int total, qint64 elapsedMs, const QString& text) {
  if (total < kCountedProgressFrom) return text;
  const QString count = QString::number(total);
  QString line = QStringLiteral("[%1/%2] %3")
                     .arg(QString::number(done), static_cast<int>(count.size()))
                     .arg(count, text);
  if (done > 0 && done < total) {
    // The inputs so far stand for the rest: a run of similar pictures, which is the usual one.
    const qint64 leftMs = elapsedMs * (total - done) / done;
    line += QStringLiteral(" (%1)").arg(TimeLeft((leftMs + 999) / 1000));
  }
  return line;
}

Progress::Progress(CliIo& io, int total, bool quiet)
    : io_(io), total_(total), shown_(io.errIsTerminal && !quiet) {
  clock_.start();
}

void Progress::Finished(const QString& text) {
  ++done_;
  if (shown_) io_.err << ProgressLine(done_, total_, clock_.elapsed(), text) << Qt::endl;
}

}  // namespace tavlo::cli
