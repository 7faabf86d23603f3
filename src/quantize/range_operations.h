#pragma once
// The Optimize menu's palette operations as pure functions over the 256 colours, a range of
// entries and the colour histogram of the picture (or of several pictures, summed). Each changes
// only the entries of the range; what it does to them is measured by the preview's rule applied
// to the range's entries (nearest by squared RGB distance, ties to the lower index).
//
// Entries that go leave their place: the rest of the range closes up in its order from the
// range's first entry, and the freed entries at the range's end become black.
#include <vector>

#include "base/entry_range.h"
#include "color_science/color_histogram.h"
#include "quantize/palette_from_histogram.h"

namespace tavlo {

// A palette after an operation, with what the operation did.
struct RangeEdit {
  PaletteColors colors{};
  int removed = 0;  // entries that went (unused, or merged into another)
  int kept = 0;     // entries that hold colours now, from range.first on
};

// `stop` in each: as for the quantizer (WorkStopped is thrown soon after it is set).

// The range filled with a palette of the picture (PaletteFromHistogram): as many colours as the
// range holds, or as many as the picture has if fewer, most used first; the rest black. `kept` is
// the number of colours computed.
RangeEdit PaletteFromPicture(const PaletteColors& colors, EntryRange range,
                             const std::vector<ColorCount>& histogram,
                             const QuantizeOptions& options = {});

// The entries of the range that no pixel maps to go.
RangeEdit RemoveUnusedEntries(const PaletteColors& colors, EntryRange range,
                              const std::vector<ColorCount>& histogram, StopFlag stop = nullptr);

// While two entries of the range are less than `threshold` apart (CIEDE2000), the nearest two are
// merged: the more used one's place (the lower of equally used ones) takes the pixel-weighted
// mean of their colours in the quantizer's working space, and the other goes. Pairs at least
// `threshold` apart are never merged.
RangeEdit MergeNearColors(const PaletteColors& colors, EntryRange range,
                          const std::vector<ColorCount>& histogram, double threshold,
                          StopFlag stop = nullptr);

// The range's entries as a list, and a list written back into the range with the close-up rule.
std::vector<ColorValue> RangeEntries(const PaletteColors& colors, EntryRange range);
PaletteColors WithRangeEntries(const PaletteColors& colors, EntryRange range,
                               const std::vector<ColorValue>& entries);

}  // namespace tavlo
