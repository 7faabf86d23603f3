#pragma once
// How the result window writes its figures: byte counts with thousands separators, changes with
// their sign ("−1,204 bytes"), loss figures to two decimals.
#include <QString>

#include "reduction/result_figures.h"

namespace tavlo {

QString ByteCountText(qint64 bytes);              // "6,264,418 bytes"
QString ByteChangeText(qint64 change);            // "−1,204 bytes", "+12 bytes", "no change"
QString TableText(const ResultFigures& figures);  // "256 entries, 184 used"
// "remove 3 entries to halve the table" (67 used of 128), or empty
QString TableHintText(const ResultFigures& figures);
QString LossText(
    const ResultFigures& figures);  // "mean 3.72, max 28.95; 95.9 % of pixels above 1.0"
QString LossChangeText(const ResultFigures& now, const ResultFigures& before);
// The visible loss: "mean 0.42; 3.1 % of pixels above 1.0", or empty when not worked out.
QString VisibleLossText(const ResultFigures& figures);
QString ShareText(double share);  // "12.34 %"
// What the loss budget bought: "−31 % for +0.20 mean ΔE", the GIF against the exact one.
QString BudgetEffectText(const ResultFigures& figures);
// The exact reduction's file: "284,112 bytes; mean 1.85, max 22.92; 66.3 % of pixels above 1.0".
QString ExactText(const ResultFigures& figures);
// Frame k's share of an animation's file and its loss: "1,204 bytes (4.1 %); mean 0.42, max
// 3.10"; empty without figures of that frame.
// With frames left out of the file as identical to the one before, "; 3 identical frames merged"
// follows.
QString FrameText(const ResultFigures& figures, int k);
// What became of the clear pixels: "41,230 transparent; 1,204 partly transparent pixels made
// clear" with a transparent entry, "41,230 transparent pixels made opaque (laid over the matte)"
// without one; empty when no pixel is clear.
QString TransparencyText(const ResultFigures& figures);

}  // namespace tavlo
