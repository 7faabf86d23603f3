#include "palette_model/split_color.h"

#include "colorlib/tavlo_color.h"

namespace tavlo {

Rgb SplitColor(ColorValue colour) {
  int32_t red = 0, green = 0, blue = 0;
  GetRGB(colour, &red, &green, &blue);
  return {red, green, blue};
}

}  // namespace tavlo
