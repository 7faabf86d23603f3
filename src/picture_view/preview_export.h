#pragma once
// Saving the preview as a Windows bitmap, a GIF or a PNG.
#include <QImage>
#include <span>

#include "base/color_value.h"
#include "picture_view/picture_export.h"

class QWidget;

namespace tavlo {

enum class PictureFormat { Bmp, Gif, Png };

// The format of an exported file: that of its name's extension when it is .bmp, .gif or .png
// (any case), else that of the chosen filter pair of "Windows Bitmap|*.bmp|GIF|*.gif|PNG|*.png|
// All files|*.*", where "All files" means a bitmap.
PictureFormat PreviewExportFormat(const QString& name, int filter);

// Asks for a file through "Save Preview" (as every picture export does, picture_export.h) and
// writes the preview there, replacing the file whole: as a Windows bitmap, or as a GIF or PNG
// whose table is `colours`, the range the preview was made of, each pixel the index of its
// colour. `picture` is the path of the picture previewed, empty for one without a file.
ExportedFile ExportPreview(QWidget* owner, const QImage& preview,
                           std::span<const ColorValue> colors, const QString& picture);

}  // namespace tavlo
