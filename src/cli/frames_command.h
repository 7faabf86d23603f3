#pragma once
// tavlo-cli frames IN.gif: each frame of a GIF as the file stores it: its rectangle, disposal
// method, delay, transparent index and bytes, then the frame count, the loop count and the file's
// size. It shows how an animation is differenced.
#include <QStringList>

#include "cli/cli_io.h"

namespace tavlo::cli {

int RunFrames(const QStringList& arguments, CliIo& io);

}  // namespace tavlo::cli
