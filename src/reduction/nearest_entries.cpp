#include "reduction/nearest_entries.h"

#include <array>

#include "colorlib/preview_engine.h"

namespace tavlo {
namespace {

constexpr int kRowLength = 4096;

int SquaredDistance(ColorValue a, ColorValue b) {
  const int red = RedOf(a) - RedOf(b), green = GreenOf(a) - GreenOf(b),
            blue = BlueOf(a) - BlueOf(b);
  return red * red + green * green + blue * blue;
}

std::uint8_t SearchNearest(ColorValue color, const std::vector<ColorValue>& entries) {
  int best = 0;
  int bestDistance = SquaredDistance(color, entries[0]);
  for (int k = 1; k < static_cast<int>(entries.size()); ++k) {
    const int d = SquaredDistance(color, entries[static_cast<size_t>(k)]);
    if (d < bestDistance) {
      best = k;
      bestDistance = d;
    }
  }
  return static_cast<std::uint8_t>(best);
}

}  // namespace

std::vector<std::uint8_t> NearestEntries(const PictureColors& colors,
                                         const std::vector<ColorValue>& entries, int threads) {
  const size_t n = colors.Distinct();
  if (n == 0 || entries.empty()) return {};
  // The colours as a picture in rows of kRowLength, the last row padded with its last colour.
  const size_t rows = (n + kRowLength - 1) / kRowLength;
  std::vector<std::uint32_t> pixels(rows * kRowLength, ToRgbPixel(colors.histogram[n - 1].color));
  for (size_t i = 0; i < n; ++i) pixels[i] = ToRgbPixel(colors.histogram[i].color);
  std::vector<std::uint8_t> nearest(pixels.size());
  colorlib::PreviewOptions options;
  options.threads = threads;
  colorlib::IndexImage(pixels.data(), kRowLength, static_cast<std::int32_t>(rows), kRowLength * 4,
                       entries.data(), static_cast<std::int32_t>(entries.size()), nearest.data(),
                       kRowLength, options);
  nearest.resize(n);
  return nearest;
}

bool UpdateNearestEntries(const PictureColors& colors, const std::vector<ColorValue>& before,
                          const std::vector<ColorValue>& after, std::vector<std::uint8_t>& nearest,
                          int maxChanged) {
  if (before.size() != after.size() || after.empty() || nearest.size() != colors.Distinct())
    return false;
  std::vector<int> changed;
  std::array<bool, 256> isChanged{};
  for (size_t k = 0; k < after.size(); ++k) {
    if (before[k] == after[k]) continue;
    if (static_cast<int>(changed.size()) == maxChanged) return false;
    changed.push_back(static_cast<int>(k));
    isChanged[k] = true;
  }
  std::vector<ColorValue> changedColors;
  for (int k : changed) changedColors.push_back(after[static_cast<size_t>(k)]);
  for (size_t i = 0; i < nearest.size(); ++i) {
    const ColorValue color = colors.histogram[i].color;
    const int current = nearest[i];
    if (isChanged[static_cast<size_t>(current)]) {  // its entry moved away: search again
      nearest[i] = SearchNearest(color, after);
      continue;
    }
    // Its entry kept its colour, so only a changed entry can have come nearer.
    int best = current;
    int bestDistance = SquaredDistance(color, after[static_cast<size_t>(current)]);
    for (size_t c = 0; c < changed.size(); ++c) {
      const int d = SquaredDistance(color, changedColors[c]);
      if (d < bestDistance || (d == bestDistance && changed[c] < best)) {
        best = changed[c];
        bestDistance = d;
      }
    }
    nearest[i] = static_cast<std::uint8_t>(best);
  }
  return true;
}

}  // namespace tavlo
