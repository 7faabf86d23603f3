#include "cli/tavlo_cli.h"

#include <array>

#include "cli/convert_command.h"
#include "cli/frames_command.h"
#include "cli/measure_command.h"
#include "cli/palette_command.h"
#include "cli/reduce_command.h"
#include "version.h"

namespace tavlo::cli {
namespace {

struct Subcommand {
  const char* name;
  const char* summary;
  int (*run)(const QStringList& arguments, CliIo& io);
};

const std::array kSubcommands = {
    Subcommand{"convert", "a palette file from one format to another", RunConvert},
    Subcommand{"reduce", "pictures reduced to a palette, written as GIF, PNG or BMP", RunReduce},
    Subcommand{"measure", "GIF size and loss of pictures reduced to a palette", RunMeasure},
    Subcommand{"palette", "one palette computed from pictures, merged or reduced to a target",
               RunPalette},
    Subcommand{"frames", "the frames of a GIF as the file stores them", RunFrames},
};

QString Version() {
  return QStringLiteral("%1 %2.%3.%4")
      .arg(QString::fromLatin1(kProgramName))
      .arg(kVersionMajor)
      .arg(kVersionMinor)
      .arg(kVersionRevision);
}

void PrintHelp(QTextStream& out) {
  out << "Usage: " << kProgramName << " COMMAND [ARGUMENTS...]\n\n"
      << "Tavlo's palette conversions, picture reductions and measurements from the command "
         "line.\n\nCommands:\n";
  for (const Subcommand& command : kSubcommands)
    out << "  " << QString::fromLatin1(command.name).leftJustified(10) << command.summary << '\n';
  out << "\n'" << kProgramName << " COMMAND --help' describes each command.\n"
      << "Exit codes: 0 when everything succeeded, 1 when some inputs failed (each is named on\n"
      << "stderr), 2 for a command line that is wrong.\n";
  out.flush();
}

}  // namespace

int RunTavloCli(const QStringList& arguments, CliIo& io) {
  if (arguments.isEmpty()) {
    PrintHelp(io.err);
    return kExitUsage;
  }
  const QString& first = arguments.first();
  if (first == QLatin1String("--help") || first == QLatin1String("-h") ||
      first == QLatin1String("help")) {
    PrintHelp(io.out);
    return kExitSuccess;
  }
  if (first == QLatin1String("--version")) {
    io.out << Version() << Qt::endl;
    return kExitSuccess;
  }
  for (const Subcommand& command : kSubcommands)
    if (first == QLatin1String(command.name)) {
      const int code = command.run(arguments.mid(1), io);
      io.out.flush();
      io.err.flush();
      return code;
    }
  io.err << kProgramName << ": '" << first << "' is no command of " << kProgramName << ".\n"
         << "Try '" << kProgramName << " --help'." << Qt::endl;
  return kExitUsage;
}

}  // namespace tavlo::cli
