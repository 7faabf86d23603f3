#pragma once
// The reduction's work on a picture as Qt holds it, in whatever format: the window, the exports,
// the Optimize commands and tavlo-cli all reduce, analyse and write pictures through these.
#include <QImage>
#include <span>
#include <vector>

#include "reduction/encoded_picture.h"
#include "reduction/indexed_picture.h"
#include "reduction/picture_colors.h"

namespace tavlo {

// The picture reduced to `entries` by the preview's rule (ReducePicture). `threads` 0 chooses by
// picture size. Throws std::bad_alloc when memory runs out.
IndexedPicture ReduceImage(const QImage& picture, std::span<const ColorValue> entries,
                           int threads = 0);

// The picture's colours (AnalysePicture). `alpha`, when given, is the picture's alpha as it was in
// its file (Format_Alpha8, the picture's size): the loss of pixels below 255 there is not
// measured. Throws std::bad_alloc when memory runs out.
PictureColors AnalyseImage(const QImage& picture, int threads = 0, const QImage& alpha = {});

// The GIF "Export GIF..." writes for the picture reduced to `entries` (1 to 256) under the loss
// budget `budget`: the exact reduction's file when it is 0 (result_figures.h). Throws
// std::bad_alloc when memory runs out.
EncodedPicture EncodeImageGif(const QImage& picture, const std::vector<ColorValue>& entries,
                              double budget, int threads = 0);

}  // namespace tavlo
