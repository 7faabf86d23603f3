#pragma once
// tavlo-cli palette PICTURE... --colors N [--merge DE] [--target SPEC] [--out FILE] [--transparent
// auto|none] [--alpha-threshold A] [--matte RRGGBB] [--count 16|256] [--jobs N] [--force]
// [--quiet]: one palette for all the pictures, computed from their colour histograms added up by
// the quantizer of "Palette from picture", then optionally "Merge near colours" and "Reduce to
// target" on the colours it gave; written to FILE in the format of its ending, or printed as a hex
// palette.
#include <QStringList>

#include "cli/cli_io.h"

namespace tavlo::cli {

int RunPalette(const QStringList& arguments, CliIo& io);

}  // namespace tavlo::cli
