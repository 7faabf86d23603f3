#pragma once
// "Reduce to target": entries of a range go, cheapest first, until the target says stop.
//
// The cost of an entry is its pixel count times the CIEDE2000 distance to its nearest other live
// entry of the range, so unused entries and repeats (which get no pixels) go first. The cheapest
// entry is either removed (its pixels go to their nearest remaining entries) or merged into that
// nearest entry (which takes their pixel-weighted mean in the working space), whichever leaves
// the smaller loss by the target's measure. The range closes up as the other range operations do,
// around a fixed entry that never goes.
//
// The kinds of target work in opposite directions:
// - a share of pixels above ΔE 1.0 is a limit to stay within: entries go as long as the next step
//   keeps the share at or below the target, and the reduction stops before the first step that
//   would break it; a share already above the target at the start changes nothing. A share of the
//   visible loss is such a limit too, measured on the whole picture as seen (the steps are those
//   of the per-pixel share; of them the last within the limit is found by halving);
// - a GIF size is a goal to reach: entries go until the GIF of the range's remaining entries is
//   at or below the target, and no further; a GIF already small enough changes nothing, and so
//   does a target that even a single entry would not reach.
#include <cstdint>
#include <functional>
#include <vector>

#include "quantize/range_operations.h"
#include "quantize/reduction_target.h"

namespace tavlo {

// What the target measures on the picture (or pictures) reduced to `entries` as the export would
// write it: for a GIF-size target the size of its GIF in bytes, for a visible-share target the
// share (0 to 1) of its pixels whose visible loss exceeds 1.0. `entries` are those the range
// holds from its first, the fixed entry in its place among them.
using PictureMeasureOf = std::function<double(const std::vector<ColorValue>& entries)>;

struct ReductionOutcome {
  enum class Status { Reached, AlreadyMet, BrokenAtStart, Unreachable };
  Status status = Status::AlreadyMet;
  RangeEdit edit;              // the palette, unchanged unless Reached
  double meanLoss = 0;         // of the range's remaining entries (all of them when unchanged)
  double shareAboveOne = 0;    // 0..1
  std::uint64_t gifBytes = 0;  // when the target is a GIF size: the size at the end, or the
                               // smallest reachable when Unreachable
  double visibleShare = 0;     // when it is a visible share: the share at the end, 0..1
};

// `measure` is called only for a GIF-size or visible target, at most about 2 + log2(entries)
// times.
// `threads` and `stop` as for the quantizer: a step of the reduction takes milliseconds, and so
// does each GIF of a picture of a few million pixels. `fixed` as for the range operations.
ReductionOutcome ReduceToTarget(const PaletteColors& colors, EntryRange range,
                                const std::vector<ColorCount>& histogram,
                                const ReductionTarget& target, const PictureMeasureOf& measure,
                                int threads = 0, StopFlag stop = nullptr,
                                int fixed = kNoFixedEntry);

}  // namespace tavlo
