#pragma once
// What reduce and measure share: the palette and range they reduce pictures to, and how many
// pictures they work on at once. Each is read from the command line after the usage checks, so
// that a wrong command line is reported before any file is touched.
#include <optional>
#include <vector>

#include "base/color_value.h"
#include "base/entry_range.h"
#include "cli/command_line.h"

namespace tavlo::cli {

// --jobs N, or one job per processor. An exit code when the value is wrong.
std::optional<int> ReadJobs(const CommandLine& line, CliIo& io, int& jobs);

// --range A-B, when given. An exit code when the value is wrong.
std::optional<int> ReadRange(const CommandLine& line, CliIo& io, std::optional<EntryRange>& range);

// --lossy T, when given: the loss budget of the GIFs. An exit code when the value is wrong.
std::optional<int> ReadLossy(const CommandLine& line, CliIo& io, std::optional<double>& budget);

// --viewing PPD, or the default viewing condition. An exit code when the value is wrong.
std::optional<int> ReadViewing(const CommandLine& line, CliIo& io, double& ppd);

// --count 16|256 of a .pal file, as the entries it writes, when given. An exit code when the
// value is wrong.
std::optional<int> ReadPalCount(const CommandLine& line, CliIo& io,
                                std::optional<EntryRange>& written);

// The colours of --palette FILE's entries `range` (default: the entries the file holds), in
// order, and that range in `chosen`. An exit code when the option is missing (usage) or the file
// is refused (failure).
std::optional<int> ReadPaletteEntries(const CommandLine& line, CliIo& io,
                                      std::optional<EntryRange> range,
                                      std::vector<ColorValue>& entries,
                                      EntryRange* chosen = nullptr);

}  // namespace tavlo::cli
