#pragma once
// The PNG file of an indexed picture: colour type 3 (indexed), a PLTE chunk of exactly the
// picture's table in order, the smallest bit depth of 1, 2, 4 and 8 that holds it, not interlaced,
// no other ancillary chunks than, for a picture with a transparent index, the shortest tRNS chunk
// that names it: alpha 255 for the indexes before it, 0 for it. Written with libpng.
#include "reduction/encoded_picture.h"
#include "reduction/indexed_picture.h"

namespace tavlo {

// Bit depth of an indexed PNG whose table has `entries` colours (1 .. 256).
int PngBitDepth(int entries);

EncodedPicture EncodePng(const IndexedPicture& picture);

}  // namespace tavlo
