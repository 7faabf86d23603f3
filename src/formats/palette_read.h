#pragma once
// What every palette reader hands back: the new colours of the first entries and the warnings to
// show. Readers are pure (bytes in, this out); the open command applies the result to the palette.
#include <QString>
#include <QStringList>
#include <vector>

#include "base/color_value.h"
#include "palette_model/split_color.h"

namespace tavlo {

struct PaletteRead {
  // New colours of entries 0 .. colours.size() - 1 (at most 256); every other entry keeps its
  // colour. Empty when the file was rejected or holds no usable table.
  std::vector<ColorValue> colors;
  // Texts for the warning box, in the order they are to be shown.
  QStringList warnings;
};

}  // namespace tavlo
