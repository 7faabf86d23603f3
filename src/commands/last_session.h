#pragma once
// The palette of the last session: written as an ACT file into the state directory when the
// program shuts down, and put back on request.
#include "base/color_value.h"
#include "store/atomic_file.h"

class QWidget;

namespace tavlo {

class PaletteDocument;

// <state directory>/last-session.act.
QString LastSessionPath();
bool LastSessionExists();

// Writes the colours to LastSessionPath(), creating the directory when needed, replacing the
// file whole; and the transparent entry (a palette index, or -1 for none) beside it, in
// <state directory>/last-session-transparent.txt as its 1-based number, a file there only while
// there is one.
WriteResult SaveLastSession(const PaletteColors& colors, int transparent = -1);

// Puts the last session's palette, with its transparent entry, into the document as one undo
// step "Restore last session's palette". A missing or damaged file is reported and changes
// nothing; a damaged transparent entry is left out.
void RestoreLastSession(QWidget* owner, PaletteDocument& palette);

}  // namespace tavlo
