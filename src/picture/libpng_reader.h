#pragma once
// Every PNG that the fast decoder of png_decoder.h does not take (grey, palette, 16-bit,
// interlaced, a tRNS of any kind), read by libpng as libpng reads it: tRNS as alpha, 16 bits
// scaled to 8 by rounding, a palette index past the end of PLTE as opaque black. libpng's
// warnings go to the thread's messages (decoder_messages.h), its errors become the reason.
#include <QByteArray>

#include "picture/png_decoder.h"

namespace tavlo {

// ARGB32 for pictures with an alpha channel or tRNS, RGB32 for the others. The size is checked
// against PictureSizeAllowed before any pixel memory is taken. No colour space is set.
DecodedPng ReadPngWithLibpng(const QByteArray& bytes);

}  // namespace tavlo
