#pragma once
// The reduction's work on a picture as Qt holds it, in whatever format: the window, the exports,
// the Optimize commands and tavlo-cli all reduce, analyse and write pictures through these.
#include <QImage>
#include <span>
#include <vector>

#include "reduction/encoded_picture.h"
#include "reduction/indexed_picture.h"
#include "reduction/picture_colors.h"
#include "reduction/transparency.h"

namespace tavlo {

// The picture reduced to `entries` by the preview's rule (ReducePicture), its transparency by
// `rule`; without a rule, pixels that are not opaque are laid over white. `threads` 0 chooses by
// picture size. Throws std::bad_alloc when memory runs out.
IndexedPicture ReduceImage(const QImage& picture, std::span<const ColorValue> entries,
                           const TransparencyRule& rule, int threads = 0);
IndexedPicture ReduceImage(const QImage& picture, std::span<const ColorValue> entries,
                           int threads = 0);

// The picture's colours (AnalysePicture) by the alpha rule, by default laid over white. `frames`
// tells when the picture is an animation's frames one below the other. Throws std::bad_alloc when
// memory runs out.
PictureColors AnalyseImage(const QImage& picture, const AlphaRule& alpha, int threads = 0,
                           const FrameTiming& frames = {});
PictureColors AnalyseImage(const QImage& picture, int threads = 0);

// The GIF "Export GIF..." writes for the picture reduced to `entries` (1 to 256) under the loss
// budget `budget`, its transparency by `rule`: the exact reduction's file when the budget is 0
// (result_figures.h); of an animation (`frames`), the animated GIF, under a budget with the budget
// spent across frames (animation_budget.h). Throws std::bad_alloc when memory runs out.
EncodedPicture EncodeImageGif(const QImage& picture, const std::vector<ColorValue>& entries,
                              double budget, int threads = 0, const TransparencyRule& rule = {},
                              const FrameTiming& frames = {});

}  // namespace tavlo
