#pragma once
// The operations of the Palette menu as pure functions over the 256 colours: each takes a palette
// and returns the palette it becomes. They touch no window; the commands in palette_commands.h
// apply their results to the palette window.
#include <span>

#include "base/color_value.h"
#include "base/entry_range.h"

namespace tavlo {

// Every colour moves to the next higher index; entry 255's colour wraps round to entry 0.
// (In the grid this moves colours one cell to the right, whatever the menu caption says.)
PaletteColors ShiftPaletteLeft(const PaletteColors& colors);
// Every colour moves to the next lower index; entry 0's colour wraps round to entry 255.
PaletteColors ShiftPaletteRight(const PaletteColors& colors);

// Entries first..last (0-based, both included) become black; the rest of the range that lies
// outside 0..255 is ignored.
PaletteColors ClearRange(const PaletteColors& colors, EntryRange range);

// Sorts colour values into rising order, compared as signed 32-bit integers.
void SortColorValues(std::span<ColorValue> values);

// Every distinct colour once, in falling order of its value (blue weighs most, then green, then
// red) from entry 0 on; the entries freed by repeats, and any black, are black at the end.
PaletteColors SortAndClean(const PaletteColors& colors);

// One channel coarsened to a multiple of `divisor`, rounding down; 0 and 255 stay as they are
// so that black, white and the pure primaries survive any divisor. A divisor below 1 leaves the
// channel unchanged.
int CompressChannel(int channel, int divisor);
// Coarsens every channel of every entry, then sorts and cleans as SortAndClean does.
PaletteColors CompressPalette(const PaletteColors& colors, int divisor);

// The web-safe level (0, 51, 102, 153, 204, 255) nearest to a channel value 0..255.
int WebSafeChannel(int channel);
// Every channel of every entry moved to its nearest web-safe level; entries stay in place.
PaletteColors ConvertToWebSafe(const PaletteColors& colors);

// The grey level of a colour: the rounded mean of its three channels, weighed alike.
int GreyLevel(ColorValue color);
// Every entry replaced by its grey; entries stay in place.
PaletteColors ConvertToGreyscale(const PaletteColors& colors);

}  // namespace tavlo
