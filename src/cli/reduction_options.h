#pragma once
// The options reduce and measure read alike: how many pictures at once, the palette's entries the
// pictures are reduced to, the loss budget and the transparent entry with its alpha rule. Read in
// one order, so that both commands report the same wrong command line the same way, each usage
// error before any file is read.
#include <optional>
#include <vector>

#include "base/color_value.h"
#include "base/entry_range.h"
#include "cli/command_line.h"
#include "cli/transparency_options.h"

namespace tavlo::cli {

struct ReductionOptions {
  int jobs = 0;  // 0: one per processor
  std::vector<ColorValue> entries;
  EntryRange range;
  double budget = 0;  // 0: exact
  TransparencyChoice transparency;
};

// `lossyRefusal`, when not empty, is the usage error for a --lossy the output cannot take. An
// exit code when the command line is wrong or the palette is refused.
std::optional<int> ReadReductionOptions(const CommandLine& line, CliIo& io,
                                        const QString& lossyRefusal, ReductionOptions& options);

}  // namespace tavlo::cli
