#pragma once
// The entries each distinct colour of a picture may be written as under a loss budget T: its
// nearest entry by the preview's rule, and every other entry of the range whose colour is within
// T of it (CIEDE2000). The loss-budget encoder picks among these per pixel, so whatever it picks,
// no pixel ends further from its colour than T or its nearest entry's difference.
#include <atomic>
#include <cstdint>
#include <vector>

#include "reduction/loss_budget.h"
#include "reduction/picture_colors.h"

namespace tavlo {

// What the encoder reads of a colour, in one cache line's half.
struct AllowedColor {
  float L = 0, a = 0, b = 0;  // CIELAB
  // How far a CIELAB difference looks at this colour: 1 / S_L^2 and 1 / S_C^2 of CIEDE2000.
  float lightWeight = 1, chromaWeight = 1;
  std::uint32_t first = 0;  // its entries: entry[first] .. entry[first + count - 1]
  std::uint16_t count = 0;
  std::uint8_t nearest = 0;  // entry[first], the nearest entry, with its loss
  float nearestLoss = 0;
};

struct AllowedEntries {
  double budget = 0;
  std::vector<AllowedColor> color;  // by distinct colour
  // The entries of each colour: its nearest entry first, then the others within budget in range
  // order; loss[k] is the CIEDE2000 difference between the colour and entry[k], as the result
  // figures measure it.
  std::vector<std::uint8_t> entry;
  std::vector<float> loss;
  size_t Bytes() const {
    return color.capacity() * sizeof(AllowedColor) + entry.capacity() + loss.capacity() * 4;
  }
};

// The allowed entries of every colour of `colours` for the range `entries`, whose nearest entry
// of each colour is `nearest` and its difference `nearestLoss` (the result cache's). Returns
// false, with `allowed` of no use, when `stop` became true. Throws std::bad_alloc.
bool FindAllowedEntries(const PictureColors& colors, const std::vector<ColorValue>& entries,
                        const std::vector<std::uint8_t>& nearest,
                        const std::vector<float>& nearestLoss, double budget,
                        AllowedEntries& allowed, int threads = 0,
                        const std::atomic<bool>* stop = nullptr);

// Makes `allowed`, found for the opaque entries of a range with a transparent entry
// (OpaqueEntriesOf), the allowed entries of the whole range: the opaque colours' entries become
// range positions, and each clear colour may take the transparent entry only, at no loss, its
// target that entry's colour `transparentColor`, so that the error diffusion carries nothing from
// it.
void KeepTransparentEntry(const PictureColors& colors, const OpaqueEntries& opaque, int transparent,
                          ColorValue transparentColor, AllowedEntries& allowed);

// Brings `allowed`, found for `before`, up to date for `after`, a range of as many entries of
// which at most `maxChanged` differ, with the same budget: only the changed entries are measured
// against each colour. Returns false, with `allowed` untouched, when more changed or the ranges
// differ in length (then FindAllowedEntries).
bool UpdateAllowedEntries(const PictureColors& colors, const std::vector<ColorValue>& before,
                          const std::vector<ColorValue>& after,
                          const std::vector<std::uint8_t>& nearest,
                          const std::vector<float>& nearestLoss, AllowedEntries& allowed,
                          int maxChanged = 8);

}  // namespace tavlo
