#include "operations/palette_operations.h"

#include <algorithm>

#include "palette_model/split_color.h"

namespace tavlo {

PaletteColors ShiftPaletteLeft(const PaletteColors& colors) {
  PaletteColors shifted;
  std::rotate_copy(colors.begin(), colors.end() - 1, colors.end(), shifted.begin());
  return shifted;
}

PaletteColors ShiftPaletteRight(const PaletteColors& colors) {
  PaletteColors shifted;
  std::rotate_copy(colors.begin(), colors.begin() + 1, colors.end(), shifted.begin());
  return shifted;
}

PaletteColors ClearRange(const PaletteColors& colors, EntryRange range) {
  PaletteColors cleared = colors;
  const int first = std::max(range.first, 0);
  const int last = std::min(range.last, kPaletteSize - 1);
  for (int i = first; i <= last; ++i) cleared[i] = 0;
  return cleared;
}

// Colour values are plain integers, so any correct sort gives the one rising order; equal values
// cannot be told apart, so stability does not matter.
void SortColorValues(std::span<ColorValue> values) {
  std::sort(values.begin(), values.end());
}

PaletteColors SortAndClean(const PaletteColors& colors) {
  PaletteColors list = colors;
  SortColorValues(list);
  // Of each run of equal values only the last member stays; the others become black, and the
  // second sort gathers all blacks at the start.
  for (int k = 0; k + 1 < kPaletteSize; ++k) {
    if (list[k] == list[k + 1]) list[k] = 0;
  }
  SortColorValues(list);
  std::reverse(list.begin(), list.end());
  return list;
}

int CompressChannel(int channel, int divisor) {
  if (channel <= 0 || channel >= 255 || divisor < 1) return channel;
  return channel / divisor * divisor;
}

PaletteColors CompressPalette(const PaletteColors& colors, int divisor) {
  PaletteColors coarse;
  for (int i = 0; i < kPaletteSize; ++i) {
    const Rgb c = SplitColor(colors[i]);
    coarse[i] = MakeColor(CompressChannel(c.red, divisor), CompressChannel(c.green, divisor),
                          CompressChannel(c.blue, divisor));
  }
  return SortAndClean(coarse);
}

// round(c / 51) * 51; for 0..255 the quotient is never exactly halfway between two levels.
int WebSafeChannel(int channel) {
  return (channel + 25) / 51 * 51;
}

PaletteColors ConvertToWebSafe(const PaletteColors& colors) {
  PaletteColors safe;
  for (int i = 0; i < kPaletteSize; ++i) {
    const Rgb c = SplitColor(colors[i]);
    safe[i] = MakeColor(WebSafeChannel(c.red), WebSafeChannel(c.green), WebSafeChannel(c.blue));
  }
  return safe;
}

// round(sum / 3): the fraction is 0, 1/3 or 2/3, so adding 1 before the integer division rounds.
int GreyLevel(ColorValue color) {
  const Rgb c = SplitColor(color);
  return (c.red + c.green + c.blue + 1) / 3;
}

PaletteColors ConvertToGreyscale(const PaletteColors& colors) {
  PaletteColors grey;
  for (int i = 0; i < kPaletteSize; ++i) {
    const int g = GreyLevel(colors[i]);
    grey[i] = MakeColor(g, g, g);
  }
  return grey;
}

}  // namespace tavlo
