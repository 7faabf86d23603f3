#pragma once
// The colour table (PLTE chunk) of a PNG picture, read with libpng. Only the chunks before the
// pixel data are read, so a large picture costs no more than a small one.
//
// An indexed PNG (colour type 3) gives its table, and the first entry its tRNS chunk makes fully
// transparent (alpha 0) as the transparent entry; partly transparent entries are not told apart.
// A truecolour PNG may carry a suggested palette in the same chunk: it is read too, with a
// warning saying what it is. A greyscale or truecolour PNG without a table, a file that is not a
// PNG, and one that libpng refuses (a damaged chunk, a file cut short before the pixels) give a
// warning with the reason.
#include <QByteArrayView>

#include "formats/palette_read.h"

namespace tavlo {

bool LooksLikePng(QByteArrayView bytes);

PaletteRead ReadPngPalette(QByteArrayView bytes);

}  // namespace tavlo
