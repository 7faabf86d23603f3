#pragma once
// The range commands of the Optimize menu: "Palette from picture", "Remove unused entries",
// "Merge near colours" and "Reduce to target". Each asks for its range of entries ("Select
// starting color", "Select endingcolor color") and whatever else it needs through Dialogs(), works
// on the colours of the current picture, changes only the entries of the range, applies its
// result to the document as one undo step named after it, and says in a message what it did.
// The work itself runs on a worker thread behind a busy box (Dialogs().RunInBackground), so the
// windows never freeze and the palette cannot change under it. Cancel at any prompt or in that
// box changes nothing; so does a command without a picture, which says so.
//
// Each returns the entries that hold the range's colours afterwards (from the range's first
// entry), for the result window to describe; nullopt when nothing changed. `budget` is the
// result window's loss budget: the figures in the messages, and a GIF-size target, are those of
// the file "Export GIF..." writes with it.
#include <QImage>
#include <optional>

#include "base/entry_range.h"

class QWidget;

namespace tavlo {

class PaletteDocument;

std::optional<EntryRange> PaletteFromPictureCommand(QWidget* owner, PaletteDocument& document,
                                                    const QImage& picture, double budget = 0);
std::optional<EntryRange> RemoveUnusedEntriesCommand(QWidget* owner, PaletteDocument& document,
                                                     const QImage& picture, double budget = 0);
// Asks for the threshold: a CIEDE2000 difference from 0 to 100, 1.0 unless changed.
std::optional<EntryRange> MergeNearColorsCommand(QWidget* owner, PaletteDocument& document,
                                                 const QImage& picture, double budget = 0);
// Asks for the target: a GIF size ("≤ 150000") or a share of pixels above ΔE 1.0 ("≤ 5 %").
std::optional<EntryRange> ReduceToTargetCommand(QWidget* owner, PaletteDocument& document,
                                                const QImage& picture, double budget = 0);

}  // namespace tavlo
