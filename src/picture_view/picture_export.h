#pragma once
// The one way every picture export goes: the save dialog, proposing the picture's name with the
// format's ending in the last export directory (else the picture's directory, else the current
// one); the bytes for the chosen name; the file replaced whole; a failure reported by a message
// naming the file and the reason; the export directory remembered only once the file is written.
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
  QString picture;     // the path of the picture exported; empty for one that has no file
};

// What an export wrote; an empty path when it wrote nothing.
struct ExportedFile {
  QString path;
  qint64 bytes = 0;
};

// The line the status shows after an export: "Wrote photo.gif (12,345 bytes)."
QString ExportedText(const ExportedFile& file);

// `encode` makes the bytes for the chosen file name and the filter pair chosen (from 0); it runs
// only after a name was chosen.
ExportedFile ExportPictureFile(
    QWidget* owner, const PictureExportDialog& dialog,
    const std::function<EncodedPicture(const QString& name, int filter)>& encode);

}  // namespace tavlo
