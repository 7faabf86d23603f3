#include "palette_model/split_color.h"

#include "colorlib/tavlo_color.h"

namespace tavlo {

Rgb SplitColor(ColorValue color) {
  int32_t red = 0, green = 0, blue = 0;
  GetRGB(color, &red, &green, &blue);
  return {red, green, blue};
}

}  // namespace tavlo
