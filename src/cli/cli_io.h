#pragma once
// What every subcommand of tavlo-cli writes to and ends with. A subcommand is a function of its
// arguments and these streams returning the exit code, so that tests run it in-process.
#include <QString>
#include <QTextStream>

namespace tavlo::cli {

// Exit codes.
inline constexpr int kExitSuccess = 0;     // everything succeeded
inline constexpr int kExitSomeFailed = 1;  // some inputs failed; each is named on stderr
inline constexpr int kExitUsage = 2;       // the command line itself was wrong

inline constexpr auto kProgramName = "tavlo-cli";

struct CliIo {
  QTextStream& out;  // results: tables, JSON lines, palettes
  QTextStream& err;  // failures, warnings and progress
  // Progress lines are for a person watching, so they are written only when stderr is one.
  bool errIsTerminal = false;
};

// "tavlo-cli: <subject>: <reason>" on stderr: a failure that names its input.
void ReportFailure(CliIo& io, const QString& subject, const QString& reason);
// "tavlo-cli: warning: <text>" on stderr: something the user should know that fails nothing.
void ReportWarning(CliIo& io, const QString& text);

// The path as the user should read it in a message.
QString ShownPath(const QString& path);

}  // namespace tavlo::cli
