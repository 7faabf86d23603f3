#pragma once
// tavlo-cli measure PICTURE... --palette FILE [--range A-B] [--transparent N|none|auto]
// [--alpha-threshold A] [--matte RRGGBB] [--json] [--jobs N] [--quiet]: per
// picture, the figures the result window shows for it reduced to the palette's range: the size
// of the GIF "Export GIF..." would write, the colour table, the entries used and the CIEDE2000
// loss. A table for people, or one JSON object a line for scripts.
#include <QStringList>

#include "cli/cli_io.h"

namespace tavlo::cli {

int RunMeasure(const QStringList& arguments, CliIo& io);

}  // namespace tavlo::cli
