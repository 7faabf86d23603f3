#pragma once
// The GIF file of an indexed picture, byte for byte what the export writes and the result window
// measures:
//   "GIF87a", logical screen of the picture's size, colour resolution 8 bits, background 0,
//   a global colour table of 2^k entries: the picture's table in order, padded with black, k >= 1
//   the smallest that holds it;
//   one image at (0, 0) of the picture's size, no local table, not interlaced;
//   its LZW data (minimum code size max(2, k)) in sub-blocks of at most 255 bytes; the trailer.
// Every pixel's code is its index, so a decoder shows exactly the table's colours.
#include "reduction/encoded_picture.h"
#include "reduction/indexed_picture.h"

namespace tavlo {

// Largest width and height a GIF can describe.
inline constexpr int kGifMaxSide = 65535;

// k of the colour table 2^k that holds `entries` colours (1 .. 256): 1 for 1 and 2 entries.
int GifTableBits(int entries);

// The minimum code size of the LZW data for a table of `entries` colours: max(2, k).
int GifCodeSize(int entries);

// Why a picture of this size cannot be a GIF, or an empty string.
QString GifSizeError(int width, int height);

// `threads` 0 chooses by picture size; the bytes are the same for any number.
EncodedPicture EncodeGif(const IndexedPicture& picture, int threads = 0);

// The file around LZW data: header, the table padded to 2^k, the image with `codes` (minimum code
// size GifCodeSize) in sub-blocks, the trailer.
QByteArray GifFile(int width, int height, const std::vector<ColorValue>& table,
                   const std::vector<std::uint8_t>& codes);

}  // namespace tavlo
