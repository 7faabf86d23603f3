#pragma once
// The palette-reduced preview of a picture.
#include <QImage>
#include <span>

#include "base/color_value.h"

namespace tavlo {

// A fresh copy of the picture, exactly its size, reduced by the companion library's
// PreViewImage to the given colours (1 to 256 of them). The picture itself is not touched.
QImage MakePreview(const QImage& picture, std::span<const ColorValue> colors);

}  // namespace tavlo
