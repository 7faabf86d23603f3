#pragma once
// tavlo-cli: Tavlo's conversions, reductions and measurements for many files at once, from the
// command line. The first argument names the subcommand; each has its own --help.
#include <QStringList>

#include "cli/cli_io.h"

namespace tavlo::cli {

// Runs the subcommand `arguments` name (the program's name not included) and returns the exit
// code.
int RunTavloCli(const QStringList& arguments, CliIo& io);

}  // namespace tavlo::cli
