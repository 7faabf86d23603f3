#pragma once
// The range commands of the Optimize menu: "Palette from picture", "Remove unused entries",
// "Merge near colours" and "Reduce to target". Each works on the document's working range and
// asks only for what else it needs (a threshold, a target) through Dialogs(), works on the colours
// of the current picture, changes only the entries of the range, applies its result to the
// document as one undo step named after it, and says in a message what it did.
// The work itself runs on a worker thread behind a busy box (Dialogs().RunInBackground), so the
// windows never freeze and the palette cannot change under it. Cancel at any prompt or in that
// box changes nothing; so does a command without a picture, which says so.
//
// `picture` is the picture as loaded, its alpha kept; `alpha` the rule that tells its clear pixels
// and lays the others over the matte. The document's transparent entry, while it lies in the
// range, is never removed, moved or merged, and opaque pixels never map to it; the messages say
// it was kept. "Palette from picture" on a picture with clear pixels reserves the range's first
// entry for them, holding the matte colour, and makes it the transparent entry in the same step.
//
// The same step makes the entries that hold the range's colours afterwards (from the range's
// first entry) the working range, so that undo puts back the palette and the range together.
//
// `budget` is the result window's loss budget: the figures in the messages, and a GIF-size
// target, are those of the file "Export GIF..." writes with it.
//
// `frames` says when the picture is an animation's frames one below the other: the commands then
// work on every pixel of every frame, and the GIF is the animation's.
#include <QImage>

#include "color_science/s_cielab.h"
#include "reduction/frame_timing.h"
#include "reduction/transparency.h"

class QWidget;

namespace tavlo {

class PaletteDocument;

void PaletteFromPictureCommand(QWidget* owner, PaletteDocument& document, const QImage& picture,
                               const AlphaRule& alpha = {}, double budget = 0,
                               const FrameTiming& frames = {});
void RemoveUnusedEntriesCommand(QWidget* owner, PaletteDocument& document, const QImage& picture,
                                const AlphaRule& alpha = {}, double budget = 0,
                                const FrameTiming& frames = {});
// Asks for the threshold: a CIEDE2000 difference from 0 to 100, 1.0 unless changed.
void MergeNearColorsCommand(QWidget* owner, PaletteDocument& document, const QImage& picture,
                            const AlphaRule& alpha = {}, double budget = 0,
                            const FrameTiming& frames = {});
// Asks for the target: a GIF size ("≤ 150000") or a share of pixels above ΔE 1.0 ("≤ 5 %"), or
// of pixels visibly so at `viewingPpd` ("≤ 5 % visible").
void ReduceToTargetCommand(QWidget* owner, PaletteDocument& document, const QImage& picture,
                           const AlphaRule& alpha = {}, double budget = 0,
                           double viewingPpd = kDefaultViewingPpd, const FrameTiming& frames = {});

}  // namespace tavlo
