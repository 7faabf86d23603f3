#pragma once
// The palette-reduced preview of a picture and its export as a Windows bitmap.
#include <QImage>
#include <span>

#include "palette/color_value.h"

class QWidget;

namespace tavlo {

// A fresh copy of the picture, exactly its size, reduced by the companion library's
// PreViewImage to the given colours (1 to 256 of them). The picture itself is not touched.
QImage MakePreview(const QImage& picture, std::span<const ColorValue> colours);

// Asks for a file through "Save Preview" (starting in the last export directory, or the
// current one) and writes the preview there as a Windows bitmap, replacing the file whole.
// The export directory is remembered only once the file is written; a failure to write shows
// a message naming the file and the reason.
void ExportPreview(QWidget* owner, const QImage& preview);

}  // namespace tavlo
