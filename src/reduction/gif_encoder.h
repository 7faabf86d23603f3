#pragma once
// The GIF file of an indexed picture, byte for byte what the export writes and the result window
// measures:
//   "GIF87a", logical screen of the picture's size, colour resolution 8 bits, background 0,
//   a global colour table of 2^k entries: the picture's table in order, padded with black, k >= 1
//   the smallest that holds it;
//   for a picture with a transparent index only: "GIF89a" instead, and before the image a Graphic
//   Control Extension naming that index as transparent (no delay, no disposal);
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

// The parts of a GIF file: a little-endian 16-bit number; the header ("GIF87a" or "GIF89a") with
// the logical screen and the table padded to 2^k; a Graphic Control Extension (disposal method,
// delay in hundredths of a second, `transparent` index or -1 for none); one image at (left, top)
// with its LZW `codes` in sub-blocks, without the trailer.
void PutLittle16(QByteArray& out, int value);
void PutGifHeader(QByteArray& out, const char* version, int width, int height,
                  const std::vector<ColorValue>& table);
void PutGraphicControl(QByteArray& out, int disposal, int delayCs, int transparent);
void PutGifImage(QByteArray& out, int left, int top, int width, int height, int codeSize,
                 const std::vector<std::uint8_t>& codes);

// The file around LZW data: header, the table padded to 2^k, the Graphic Control Extension of a
// `transparent` index (-1: none), the image with `codes` (minimum code size GifCodeSize) in
// sub-blocks, the trailer.
QByteArray GifFile(int width, int height, const std::vector<ColorValue>& table,
                   const std::vector<std::uint8_t>& codes, int transparent = -1);

}  // namespace tavlo
