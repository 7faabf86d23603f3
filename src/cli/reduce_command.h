#pragma once
// tavlo-cli reduce PICTURE... --palette FILE [--range A-B] [--format gif|png|bmp] [--out DIR]
// [--transparent N|none|auto] [--alpha-threshold A] [--matte RRGGBB] [--jobs N] [--force]
// [--quiet]: each picture reduced by the preview's nearest-entry rule to the
// palette's range and written as "Export GIF..." / "Export PNG..." write it, with the range's
// entries exactly as given for its colour table; bmp writes what the preview's bitmap export
// writes.
#include <QStringList>

#include "cli/cli_io.h"

namespace tavlo::cli {

int RunReduce(const QStringList& arguments, CliIo& io);

}  // namespace tavlo::cli
