#pragma once
// The one way every picture export goes: the save dialog, starting in the last export directory
// (or the current one); the bytes for the chosen name; the file replaced whole; a failure
// reported by a message naming the file and the reason; the export directory remembered only
// once the file is written.
#include <QString>
#include <functional>

#include "reduction/encoded_picture.h"

class QWidget;

namespace tavlo {

struct PictureExportDialog {
  QString title;       // "Save Preview", "Export GIF", ...
  QString filter;      // one-line notation, "GIF|*.gif|All files|*.*"
  QString defaultExt;  // without the dot
  QString what;        // the thing written, for the message: "preview", "GIF", ...
};

// `encode` makes the bytes for the chosen file name and the filter pair chosen (from 0); it runs
// only after a name was chosen. Returns the path written, or an empty text when nothing was.
QString ExportPictureFile(
    QWidget* owner, const PictureExportDialog& dialog,
    const std::function<EncodedPicture(const QString& name, int filter)>& encode);

}  // namespace tavlo
