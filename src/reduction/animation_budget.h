#pragma once
// The loss budget across an animation's frames. A frame need not redraw what the screen already
// shows well enough: a pixel whose colour is within the budget of the entry the frame before left
// on screen (that entry is one of its allowed entries) keeps it, so the frame's changed rectangle
// and its code stream hold only what really changed. Video noise, the shimmer of lossy sources
// and slow fades stop costing bytes there.
// Frames are taken in order, each against the frame before as written, and each pixel is checked
// against its own colour, so however long a pixel stays, it is never further from its colour than
// max(T, its nearest entry's difference) in any frame.
#include <cstdint>
#include <vector>

#include "reduction/allowed_entries.h"
#include "reduction/picture_colors.h"

namespace tavlo {

// `written` holds the range position of every pixel of the animation's frames (colors.frames,
// one below the other) and `pixelLoss` each one's difference; the pixels that may keep what is on
// screen take it, and its difference (clear pixels, which are not measured, keep theirs).
// Returns how many pixels did.
std::uint64_t KeepShownWithinBudget(const PictureColors& colors, const AllowedEntries& allowed,
                                    std::vector<std::uint8_t>& written,
                                    std::vector<float>& pixelLoss, int threads = 0);

}  // namespace tavlo
