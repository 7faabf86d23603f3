#pragma once
// A picture reduced to a range of palette entries: one index a pixel into the range's colours.
// It is what the GIF and PNG exports write and what the result figures describe.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/color_value.h"

namespace tavlo {

struct IndexedPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> indexes;  // width * height, row by row from the top
  std::vector<ColorValue> table;      // the colour of each index: the range's entries in order
};

// Whether the picture has a size, 1 to 256 colours, one index a pixel and every index within the
// table: what the encoders need.
bool IsWhole(const IndexedPicture& picture);

// `first` holds `height` rows of `width` pixels 0x??RRGGBB, `stride` bytes apart.
// Every pixel gets the position of its nearest entry of `entries` (squared RGB distance, ties to
// the lower position): exactly the colour the preview shows for it. 1 <= count <= 256; `threads`
// 0 chooses by picture size. An empty picture or a count out of range gives an empty result.
// Throws std::bad_alloc when the indexes cannot be had.
IndexedPicture ReducePicture(const std::uint32_t* first, int width, int height,
                             std::ptrdiff_t stride, const ColorValue* entries, int count,
                             int threads = 0);

}  // namespace tavlo
