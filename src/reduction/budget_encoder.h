#pragma once
// The GIF of a picture written under a loss budget T: each pixel p may be written as its nearest
// entry n(p) by the preview's rule, or as any entry of the range within T of its colour c(p)
// (CIEDE2000, the allowed entries). Whatever it picks, no pixel ends further from its colour than
// max(T, the difference of its nearest entry). Among the allowed entries it picks so that the
// LZW code stream gets short while the picture looks the same: written by hand, since no GIF
// library knows the picture behind the indexes, and this choice is the program's core.
//
// How it chooses. The encoder parses the picture into strings of its string table itself, so it
// may end a string wherever that pays, not only where the longest match ends:
// - From the start of each string it searches the table's strings depth first: a continuation
//   is open for a pixel when one of its allowed entries extends the string so far. Each string
//   found (every node on the way, not only the deepest) is scored by its cost per pixel: the
//   code's bits plus what its substitutions cost, divided by its length. The cheapest wins; the
//   first descent follows the cheapest entries, so the greedy run is always among the candidates,
//   and a bounded number of further steps looks at the alternatives.
// - What a substitution costs: lambda times its loss above the nearest entry's (the mean
//   difference a user sees in the figures) plus mu times how much further it leaves the pixel
//   from its target than the nearest entry would (what the eye sees at a distance).
// - A pixel whose colour is within a few tenths of its nearest entry keeps it (keptBelow): moving
//   it would spend loss where the exact file is already exact, mostly flat areas that compress
//   well anyway. Measured on the bench pictures, this gives smaller files at the same mean loss,
//   most of all on screenshots.
// - The target is the pixel's colour plus the error carried to it: the difference between each
//   written pixel and its target goes on to its neighbours with Floyd-Steinberg's weights (7/16
//   right, 3/16, 5/16 and 1/16 to the row below), in CIELAB, limited in size. So after a
//   substitution that leans one way, the cheap continuations are those that lean back, and the
//   local average of the picture stays where it was: substitutions do not add up along rows into
//   streaks or across rows into bands. A substitution that brings a pixel nearer its target than
//   the nearest entry costs nothing on that account, so the encoder also takes the chances to
//   undo the nearest entries' own bias where the table offers them for free.
//   Distances are CIELAB differences weighted by CIEDE2000's lightness and chroma scales at the
//   pixel's colour.
// - The string table, its codes and code widths, its clear when full and the strips the code
//   stream is cut into (so that they run on every core) are those of the exact encoder
//   (lzw_strips.h); the error diffusion starts afresh with each strip, so the bytes never depend
//   on the number of threads.
// A budget of 0 gives exactly the exact encoder's file (EncodeGif).
#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>
#include <vector>

#include "reduction/allowed_entries.h"

namespace tavlo {

// The weights of the choice; the defaults are the program's (bench/lossy measures others).
struct BudgetTuning {
  // lambda: bits per unit of CIEDE2000 above the nearest entry's, up to a budget of 5; above it
  // lambda goes as (5 / budget)^falloff, so that the top of the range spends more of its loss
  double lossWeight = 2.5;
  double falloff = 0.7;
  // mu: the same for the distance beyond the nearest entry's to the target
  double targetWeight = 1.5;
  // A colour no further than this from its nearest entry keeps it: near-exact pixels (flat areas
  // of screenshots and drawings) stay exact, and the loss goes where it buys the most bytes.
  // Above a budget of 5 it shrinks as (5 / budget)^keptFalloff.
  double keptBelow = 0.3;
  double keptFalloff = 2;
  double largestError = 6;  // of the error carried to a pixel, in weighted CIELAB units
  int searchSteps = 64;     // alternatives looked at per string, beyond the first descent
  bool noReward = false;
};

// The budgeted file and what it holds: the figures of the pixels as written.
struct BudgetedGif {
  QByteArray gif;
  QString error;                     // why there is no file (a picture too large for a GIF)
  std::vector<std::uint64_t> usage;  // pixels per range position
  double lossSum = 0;                // CIEDE2000 between each pixel and its written colour
  float maxLoss = 0;
  std::uint64_t aboveOne = 0;  // pixels whose difference exceeds 1.0
  // Each pixel as written, row by row: its range position and its difference.
  std::vector<std::uint8_t> indexes;
  std::vector<float> pixelLoss;
  std::vector<std::uint8_t> codes;  // the image's code stream, as `gif` holds it in sub-blocks
};

// The GIF of the picture whose colours are `colours` reduced to `entries` (the range's colours,
// 1 to 256) under the budget of `allowed` (found for these colours and entries). Returns false
// when `stop` became true. `threads` 0 chooses by size; the bytes are the same for any number.
// `transparent`, the position of the transparent entry (-1: none), is named in the file; the
// allowed entries keep it for the clear colours only (KeepTransparentEntry). Throws
// std::bad_alloc.
bool EncodeGifWithinBudget(const PictureColors& colors, const std::vector<ColorValue>& entries,
                           const AllowedEntries& allowed, BudgetedGif& result, int threads = 0,
                           const std::atomic<bool>* stop = nullptr, const BudgetTuning& tuning = {},
                           int transparent = -1);

}  // namespace tavlo
