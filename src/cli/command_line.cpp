#include "cli/command_line.h"

#include <QRegularExpression>
#include <algorithm>

#include "base/color_value.h"
#include "base/parallel_work.h"

namespace tavlo::cli {
namespace {

QCommandLineOption HelpOption() {
  return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and exit."));
}

// "  -p, --palette FILE" for the help's option list.
QString OptionLabel(const QCommandLineOption& option) {
  QStringList names;
  for (const QString& name : option.names())
    names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
  QString label = names.join(QStringLiteral(", "));
  if (!option.valueName().isEmpty()) label += QLatin1Char(' ') + option.valueName();
  return label;
}

// `text` broken into lines of at most kHelpWidth characters, every line after the first indented
// by `indent` spaces.
constexpr qsizetype kHelpWidth = 100;
QString Wrapped(const QString& text, qsizetype indent) {
  QString result;
  qsizetype column = indent;
  for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    if (column > indent && column + 1 + word.size() > kHelpWidth) {
      result += QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
      column = indent;
    } else if (column > indent) {
      result += QLatin1Char(' ');
      ++column;
    }
    result += word;
    column += word.size();
  }
  return result;
}

}  // namespace

CommandLine::CommandLine(CommandSpec spec) : spec_(std::move(spec)) {
  parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
  parser_.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
  parser_.addOptions(spec_.options);
  parser_.addOption(HelpOption());
}

std::optional<int> CommandLine::Parse(const QStringList& arguments, CliIo& io) {
  // The parser takes the program's name first.
  if (!parser_.parse(QStringList{QString::fromLatin1(kProgramName)} + arguments))
    return UsageError(io, parser_.errorText());
  if (parser_.isSet(QStringLiteral("help"))) {
    io.out << HelpText();
    io.out.flush();
    return kExitSuccess;
  }
  const qsizetype inputs = parser_.positionalArguments().size();
  if (inputs < spec_.minimumInputs)
    return UsageError(io, spec_.minimumInputs == 1 ? QStringLiteral("Nothing to work on.")
                                                   : QStringLiteral("Too few arguments."));
  if (spec_.maximumInputs >= 0 && inputs > spec_.maximumInputs)
    return UsageError(io, QStringLiteral("Unexpected argument '%1'.")
                              .arg(parser_.positionalArguments().at(spec_.maximumInputs)));
  return std::nullopt;
}

int CommandLine::UsageError(CliIo& io, const QString& message) const {
  io.err << kProgramName << ' ' << spec_.name << ": " << message << '\n'
         << "Usage: " << kProgramName << ' ' << spec_.name << ' ' << spec_.synopsis << '\n'
         << "Try '" << kProgramName << ' ' << spec_.name << " --help'." << Qt::endl;
  return kExitUsage;
}

QString CommandLine::HelpText() const {
  QString text =
      QStringLiteral("Usage: %1 %2 %3\n\n%4\n\nOptions:\n")
          .arg(QString::fromLatin1(kProgramName), spec_.name, spec_.synopsis, spec_.summary);
  QList<QCommandLineOption> options = spec_.options;
  options << HelpOption();
  qsizetype width = 0;
  for (const QCommandLineOption& option : options)
    width = std::max(width, OptionLabel(option).size());
  for (const QCommandLineOption& option : options) {
    text += QStringLiteral("  ") + OptionLabel(option).leftJustified(width + 2) +
            Wrapped(option.description(), width + 4) + QLatin1Char('\n');
  }
  if (!spec_.example.isEmpty())
    text += QStringLiteral("\nExample:\n  %1 %2\n")
                .arg(QString::fromLatin1(kProgramName), spec_.example);
  return text;
}

QCommandLineOption PaletteOption() {
  return QCommandLineOption({QStringLiteral("p"), QStringLiteral("palette")},
                            QStringLiteral("The palette file, in any format Tavlo opens."),
                            QStringLiteral("FILE"));
}

QCommandLineOption RangeOption() {
  return QCommandLineOption(
      {QStringLiteral("r"), QStringLiteral("range")},
      QStringLiteral("Entries A to B of the palette, numbered from 1 (default: the entries the "
                     "file holds)."),
      QStringLiteral("A-B"));
}

QCommandLineOption JobsOption() {
  return QCommandLineOption({QStringLiteral("j"), QStringLiteral("jobs")},
                            QStringLiteral("Pictures worked on at once (default: one per "
                                           "processor). The output does not depend on it."),
                            QStringLiteral("N"));
}

QCommandLineOption ForceOption() {
  return QCommandLineOption({QStringLiteral("f"), QStringLiteral("force")},
                            QStringLiteral("Replace output files that exist already."));
}

QCommandLineOption QuietOption() {
  return QCommandLineOption({QStringLiteral("q"), QStringLiteral("quiet")},
                            QStringLiteral("Show no progress."));
}

QCommandLineOption LossyOption() {
  return QCommandLineOption(
      {QStringLiteral("l"), QStringLiteral("lossy")},
      QStringLiteral("The GIF under a loss budget of T (CIEDE2000, 0 to 10), as \"Export GIF...\" "
                     "writes it with the result window's \"Loss budget\": a pixel may be written "
                     "as any entry within T of its colour when that makes the file smaller."),
      QStringLiteral("T"));
}

QCommandLineOption ViewingOption() {
  return QCommandLineOption(
      QStringLiteral("viewing"),
      QStringLiteral("The viewing condition of the visible loss (S-CIELAB) in samples per degree "
                     "of visual angle; 60, the default, is a 96-dpi screen seen from about 60 cm."),
      QStringLiteral("PPD"));
}

QCommandLineOption CountOption() {
  return QCommandLineOption({QStringLiteral("c"), QStringLiteral("count")},
                            QStringLiteral("For a .pal file: 16 writes the first 16 entries, 256 "
                                           "(the default) all of them."),
                            QStringLiteral("16|256"));
}

std::optional<EntryRange> ParseEntryRange(const QString& text) {
  static const QRegularExpression form(
      QStringLiteral("^\\s*(\\d{1,3})\\s*(?:-\\s*(\\d{1,3}))?\\s*$"));
  const QRegularExpressionMatch match = form.match(text);
  if (!match.hasMatch()) return std::nullopt;
  const int first = match.captured(1).toInt();
  const int last = match.hasCaptured(2) ? match.captured(2).toInt() : first;
  if (first < 1 || first > last || last > kPaletteSize) return std::nullopt;
  return EntryRange{first - 1, last - 1};
}

std::optional<int> ParseWholeNumber(const QString& text, int least, int most) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok, 10);
  if (!ok || value < least || value > most) return std::nullopt;
  return value;
}

int DefaultJobs() {
  return static_cast<int>(std::min<std::size_t>(Processors(), kMaximumJobs));
}

}  // namespace tavlo::cli
