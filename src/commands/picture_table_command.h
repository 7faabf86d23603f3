#pragma once
// "Use the picture's colour table": the palette starts from the colours a GIF's frames are drawn
// from, so that a GIF written again keeps its own colours and grows no larger for a new table.
#include <QString>

#include "picture/gif_frames.h"

class QWidget;

namespace tavlo {

class PaletteDocument;

// Entries 1 to N take the table's N colours and the working range becomes those entries, as one
// undo step; the other entries stay. A table of more than 256 colours (frames with tables of
// their own) or none is said so and changes nothing.
void UsePictureColorTable(QWidget* owner, PaletteDocument& palette, const GifColorTable& table);

// Whether the command has something to change: the table has colours the palette's first entries
// and working range do not hold as they are.
bool PictureTableOffered(const PaletteDocument& palette, const GifColorTable& table);

// "The frames hold 11,370 colours in all." for frames with tables of their own; empty otherwise.
QString FrameColorsText(const GifColorTable& table);

}  // namespace tavlo
