#pragma once
// Saving the preview as a Windows bitmap.
#include <QImage>

class QWidget;

namespace tavlo {

// Asks for a file through "Save Preview" (starting in the last export directory, or the
// current one) and writes the preview there as a Windows bitmap, replacing the file whole.
// The export directory is remembered only once the file is written; a failure to write shows
// a message naming the file and the reason.
void ExportPreview(QWidget* owner, const QImage& preview);

}  // namespace tavlo
