#pragma once
// The command line of one subcommand: its options, its help text and the reading of the
// arguments, with the usage errors every subcommand reports the same way.
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "base/entry_range.h"
#include "cli/cli_io.h"

namespace tavlo::cli {

struct CommandSpec {
  QString name;                       // "reduce"
  QString synopsis;                   // what follows "tavlo-cli reduce" in the usage line
  QString summary;                    // what the command does, a few lines
  QList<QCommandLineOption> options;  // --help is added to these
  int minimumInputs = 0;              // positional arguments
  int maximumInputs = -1;             // -1: no limit
  QString example;                    // one line, shown at the end of the help
};

class CommandLine {
 public:
  explicit CommandLine(CommandSpec spec);

  // Reads the arguments that follow the subcommand's name. Returns an exit code when the command
  // ends here: 0 after printing the help, kExitUsage after reporting a usage error; nullopt when
  // the command is to run.
  std::optional<int> Parse(const QStringList& arguments, CliIo& io);

  bool IsSet(const QString& option) const { return parser_.isSet(option); }
  QString Value(const QString& option) const { return parser_.value(option); }
  QStringList Inputs() const { return parser_.positionalArguments(); }

  // Reports a usage error of this command and returns kExitUsage.
  int UsageError(CliIo& io, const QString& message) const;

  QString HelpText() const;

 private:
  CommandSpec spec_;
  QCommandLineParser parser_;
};

// The options several subcommands share.
QCommandLineOption PaletteOption();  // -p, --palette FILE
QCommandLineOption RangeOption();    // -r, --range A-B
QCommandLineOption JobsOption();     // -j, --jobs N
QCommandLineOption ForceOption();    // -f, --force
QCommandLineOption QuietOption();    // -q, --quiet
QCommandLineOption CountOption();    // -c, --count 16|256
QCommandLineOption LossyOption();    // -l, --lossy T
QCommandLineOption ViewingOption();  // --viewing PPD

// "A-B" (or "A" for one entry): 1-based entry numbers 1 <= A <= B <= 256, as 0-based indexes.
std::optional<EntryRange> ParseEntryRange(const QString& text);
// A whole number from `least` to `most`, in decimal.
std::optional<int> ParseWholeNumber(const QString& text, int least, int most);

// The number of pictures worked on at once when --jobs is not given: one per processor.
int DefaultJobs();
inline constexpr int kMaximumJobs = 256;

}  // namespace tavlo::cli
