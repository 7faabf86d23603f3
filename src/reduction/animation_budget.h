#pragma once
// The loss budget across an animation's frames. Each frame is written the shortest of three ways,
// each pixel as one of its allowed entries, so no pixel of any frame ends further from its colour
// than max(T, its nearest entry's difference):
// - exact, differenced against what the screen shows (animated_gif.h);
// - keeping what the screen shows: a pixel whose colour is within the budget of the entry the
//   frame before left on screen keeps it, so the changed rectangle and its code stream hold only
//   what really changed; video noise, the shimmer of lossy sources and slow fades stop costing
//   bytes there;
// - whole, by the still picture's loss-budget encoder (budget_encoder.h), for a frame that
//   changes most of its area: a pan, a cut, the first frame.
// Frames are taken in order, each against the frame before as written, and each pixel is checked
// against its own colour, so however long a pixel keeps its entry it stays within the budget.
#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>
#include <vector>

#include "reduction/allowed_entries.h"
#include "reduction/picture_colors.h"

namespace tavlo {

struct BudgetedAnimation {
  QByteArray gif;
  QString error;                         // why there is no file
  std::vector<std::uint8_t> written;     // each pixel's range position as written
  std::vector<float> pixelLoss;          // and its difference; 0 for clear pixels
  std::vector<std::int64_t> frameBytes;  // each frame's bytes in the file
  int mergedFrames = 0;                  // left out as identical to the one before
};

// The animated GIF of `colors` (an animation's frames, colors.frames) reduced to `entries` under
// the budget of `allowed`; `exact` is each pixel's nearest range position, `transparent` the
// transparent entry's position (-1: none). Returns false when `stop` became true. Throws
// std::bad_alloc.
bool EncodeAnimationWithinBudget(const PictureColors& colors,
                                 const std::vector<ColorValue>& entries,
                                 const AllowedEntries& allowed,
                                 const std::vector<std::uint8_t>& exact, int transparent,
                                 BudgetedAnimation& result, int threads = 0,
                                 const std::atomic<bool>* stop = nullptr);

}  // namespace tavlo
