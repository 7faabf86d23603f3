#pragma once
// A picture file as tavlo-cli reads it: exactly as the window program loads it (any format it
// reads, decided by content; its alpha kept), with the reason when it cannot be.
#include <QString>

#include "picture/picture_loader.h"
#include "reduction/frame_timing.h"

namespace tavlo::cli {

PictureResult LoadPicture(const QString& path);

// Every pixel of a loaded picture that the commands weigh: all the frames of an animation, one
// below the other, or the picture itself; and how it is an animation.
struct AllFrames {
  QImage pixels;
  FrameTiming timing;
};
AllFrames AllFramesOf(const PictureResult& picture);

}  // namespace tavlo::cli
