#include "cli/picture_input.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace tavlo::cli {

PictureResult LoadPicture(const QString& path) {
  // The loader's reason for a missing file is about plain files; the user mistyped a name.
  if (!QFileInfo::exists(path))
    return {QImage(), QString::fromLocal8Bit(std::strerror(ENOENT)), {}, {}};
  PictureResult loaded = LoadPictureFile(path);
  if (!loaded.ok() && loaded.error.isEmpty()) loaded.error = QStringLiteral("cannot be read");
  return loaded;
}

AllFrames AllFramesOf(const PictureResult& picture) {
  const Animation& animation = picture.animation;
  if (!animation.Animated()) return {picture.image, {}};
  return {animation.frames, {animation.count, animation.delays, animation.loops}};
}

}  // namespace tavlo::cli
