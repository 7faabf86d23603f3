#pragma once
// A picture file as tavlo-cli reads it: exactly as the window program loads it (any format it
// reads, decided by content; transparent parts over white), with the reason when it cannot be.
#include <QString>

#include "picture/picture_loader.h"

namespace tavlo::cli {

PictureResult LoadPicture(const QString& path);

}  // namespace tavlo::cli
