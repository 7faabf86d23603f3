#include "cli/reduction_options.h"

#include "cli/shared_options.h"

namespace tavlo::cli {

std::optional<int> ReadReductionOptions(const CommandLine& line, CliIo& io,
                                        const QString& lossyRefusal, ReductionOptions& options) {
  if (const auto ended = ReadJobs(line, io, options.jobs)) return ended;
  std::optional<EntryRange> range;
  if (const auto ended = ReadRange(line, io, range)) return ended;
  std::optional<double> budget;
  if (const auto ended = ReadLossy(line, io, budget)) return ended;
  if (budget && !lossyRefusal.isEmpty()) return line.UsageError(io, lossyRefusal);
  options.budget = budget.value_or(0);
  if (const auto ended = ReadTransparency(line, io, true, TransparencyChoice::Mode::None,
                                          options.transparency))
    return ended;
  if (range)
    if (const auto ended = CheckTransparentEntry(line, io, options.transparency, *range))
      return ended;
  if (const auto ended = ReadPaletteEntries(line, io, range, options.entries, &options.range))
    return ended;
  return CheckTransparentEntry(line, io, options.transparency, options.range);
}

}  // namespace tavlo::cli
