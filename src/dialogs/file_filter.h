#pragma once
// The one-line filter notation of the file dialogs and the split of a chosen path.
#include <QString>
#include <QStringList>

namespace tavlo {

// "Windows Bitmap|*.bmp|All files|*.*" -> {"Windows Bitmap (*.bmp)", "All files (*.*)"}.
// Wildcards joined by ';' become blank-separated; a description without a pattern is dropped.
QStringList ToNameFilters(const QString& filter);

struct ChosenFile {
  QString directory;  // ends in '/'
  QString name;       // bare file name
};
ChosenFile SplitChosenPath(const QString& fullPath);

}  // namespace tavlo
