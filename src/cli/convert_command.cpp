#include "cli/convert_command.h"

#include "cli/command_line.h"
#include "cli/output_files.h"
#include "cli/palette_input.h"
#include "cli/shared_options.h"
#include "formats/palette_formats.h"

namespace tavlo::cli {
namespace {

CommandSpec ConvertSpec() {
  return {
      .name = QStringLiteral("convert"),
      .synopsis = QStringLiteral("IN OUT [--range A-B] [--count 16|256] [--force]"),
      .summary =
          QStringLiteral(
              "Converts the palette file IN to OUT, writing exactly what \"Save palette\" writes\n"
              "after opening IN into a fresh (black) palette. OUT's ending chooses the format:\n"
              "  %1.\n"
              "An act file holds all 256 entries, a pal file 16 or 256 (--count); the others hold\n"
              "the entries --range names, by default those IN holds.")
              .arg(WrittenEndings()),
      .options = {RangeOption(), CountOption(), ForceOption()},
      .minimumInputs = 2,
      .maximumInputs = 2,
      .example = QStringLiteral("convert swatches.aco web.gpl --range 1-32"),
  };
}

// The entries to write to OUT, or a usage error.
struct Entries {
  std::optional<EntryRange> range;  // nullopt: the entries IN holds
  QString error;
};

Entries ChooseEntries(const CommandLine& line, const PaletteFormat& format) {
  const bool hasRange = line.IsSet(QStringLiteral("range"));
  const bool hasCount = line.IsSet(QStringLiteral("count"));
  const QString ending = QStringLiteral(".") + format.ending;
  if (hasCount && format.saved != SavedEntries::SixteenOrAll)
    return {std::nullopt, QStringLiteral("--count applies to .pal files only.")};
  if (hasRange && format.saved != SavedEntries::AskedRange)
    return {std::nullopt, QStringLiteral("A %1 file holds %2; --range does not apply.")
                              .arg(ending, format.saved == SavedEntries::All
                                               ? QStringLiteral("all 256 entries")
                                               : QStringLiteral("16 or 256 entries (--count)"))};
  // An act file holds all entries, a pal file all unless --count (read by the caller) says 16; the
  // others what --range (read by the caller) names, or the entries IN holds.
  if (format.saved == SavedEntries::AskedRange) return {};
  return {EntryRange{0, kPaletteSize - 1}, {}};
}

}  // namespace

int RunConvert(const QStringList& arguments, CliIo& io) {
  CommandLine line(ConvertSpec());
  if (const auto ended = line.Parse(arguments, io)) return *ended;
  const QString in = line.Inputs().at(0);
  const QString out = line.Inputs().at(1);

  const PaletteFormat* format = FormatForName(out);
  if (!format || !format->write)
    return line.UsageError(io, QStringLiteral("Tavlo writes no palette file of the ending of %1 "
                                              "(it writes %2).")
                                   .arg(ShownPath(out), WrittenEndings()));
  Entries entries = ChooseEntries(line, *format);
  if (!entries.error.isEmpty()) return line.UsageError(io, entries.error);
  if (format->saved == SavedEntries::AskedRange)
    if (const auto ended = ReadRange(line, io, entries.range)) return *ended;
  if (format->saved == SavedEntries::SixteenOrAll)
    if (const auto ended = ReadPalCount(line, io, entries.range)) return *ended;
  const QString refused = RefusedOutputs({in}, {out}, line.IsSet(QStringLiteral("force"))).at(0);
  if (!refused.isEmpty()) {
    ReportFailure(io, ShownPath(in), refused);
    return kExitSomeFailed;
  }

  const LoadedPalette palette = LoadPalette(in);
  if (!ReportLoadedPalette(io, in, palette)) return kExitSomeFailed;
  const EntryRange range = entries.range.value_or(palette.Held());
  const QString failed = WriteOutput(out, WritePaletteBytes(*format, palette.colors, range, out),
                                     line.IsSet(QStringLiteral("force")));
  if (!failed.isEmpty()) {
    ReportFailure(io, ShownPath(in), failed);
    return kExitSomeFailed;
  }
  return kExitSuccess;
}

}  // namespace tavlo::cli
