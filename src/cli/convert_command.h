#pragma once
// tavlo-cli convert IN OUT [--range A-B] [--count 16|256] [--force]: a palette file in any format
// Tavlo reads to any format it writes, chosen by OUT's ending, byte for byte what "Save palette"
// writes after opening IN into a fresh palette.
#include <QStringList>

#include "cli/cli_io.h"

namespace tavlo::cli {

int RunConvert(const QStringList& arguments, CliIo& io);

}  // namespace tavlo::cli
