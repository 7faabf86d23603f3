#include "cli/cli_io.h"

#include <QDir>

namespace tavlo::cli {

void ReportFailure(CliIo& io, const QString& subject, const QString& reason) {
  io.err << kProgramName << ": " << subject << ": " << reason << Qt::endl;
}

void ReportWarning(CliIo& io, const QString& text) {
  io.err << kProgramName << ": warning: " << text << Qt::endl;
}

QString ShownPath(const QString& path) {
  return QDir::toNativeSeparators(path);
}

}  // namespace tavlo::cli
