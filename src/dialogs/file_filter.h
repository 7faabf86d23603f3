#pragma once
// The one-line filter notation of the file dialogs and the split of a chosen path.
#include <QString>
#include <QStringList>

namespace tavlo {

// "Windows Bitmap|*.bmp|All files|*.*" -> {"Windows Bitmap (*.bmp)", "All files (*)"}.
// Fields alternate description and pattern; the list ends at the first empty field, so a
// description without a pattern is dropped. Wildcards joined by ';' become blank-separated, and
// "*.*" (every file) becomes "*", which on this system also matches names without a dot.
QStringList ToNameFilters(const QString& filter);

struct ChosenFile {
  QString directory;  // ends in '/'
  QString name;       // bare file name
};
// "/pal/x.act" -> {"/pal/", "x.act"}; "/x.act" -> {"/", "x.act"}.
ChosenFile SplitChosenPath(const QString& fullPath);

}  // namespace tavlo
