#pragma once
// Running tavlo-cli's subcommands in-process with their output caught.
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <ostream>

#include "cli/cli_io.h"

// Texts in test failures as text.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace tavlo::testing {

struct CliRun {
  int code = -1;
  QString out;
  QString err;
};

// Runs `tavlo-cli arguments...` as the program would; `terminal` pretends stderr is one.
CliRun RunCli(const QStringList& arguments, bool terminal = false);

}  // namespace tavlo::testing
