#include "quantize/rgb_nearest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace tavlo::testing {
namespace {

int Distance2(ColorValue x, ColorValue y) {
  const int dr = RedOf(x) - RedOf(y), dg = GreenOf(x) - GreenOf(y), db = BlueOf(x) - BlueOf(y);
  return dr * dr + dg * dg + db * db;
}

// The nearest and the second nearest by the plain rule: nearer first, then the lower index.
std::pair<std::size_t, std::size_t> TwoNearest(ColorValue color,
                                               const std::vector<ColorValue>& palette) {
  std::size_t first = 0, second = palette.size() > 1 ? 1 : 0;
  auto before = [&](std::size_t x, std::size_t y) {
    return Distance2(color, palette[x]) < Distance2(color, palette[y]) ||
           (Distance2(color, palette[x]) == Distance2(color, palette[y]) && x < y);
  };
  if (palette.size() > 1 && before(1, 0)) std::swap(first, second);
  for (std::size_t e = 2; e < palette.size(); ++e) {
    if (before(e, first))
      second = first, first = e;
    else if (before(e, second))
      second = e;
  }
  return {first, second};
}

// Small palettes with repeats and equally near entries, colours in any number (blocks of the
// vector search are 16 wide).
TEST(AssignNearestEntries, FollowsThePreviewRuleWithTiesToTheLowerIndex) {
  std::mt19937 random(4);
  std::uniform_int_distribution<int> level(0, 4);
  auto coarse = [&] {
    return MakeColor(level(random) * 60, level(random) * 60, level(random) * 60);
  };
  for (std::size_t size : {1u, 2u, 7u, 256u}) {
    std::vector<ColorValue> palette(size), colors(1003);
    for (ColorValue& c : palette) c = coarse();
    for (ColorValue& c : colors)
      c = MakeColor(level(random) * 30, level(random) * 30, level(random) * 60);
    const quantize::NearestEntries near = quantize::AssignNearestEntries(colors, palette, 3);
    for (std::size_t i = 0; i < colors.size(); ++i) {
      const auto [first, second] = TwoNearest(colors[i], palette);
      ASSERT_EQ(near.first[i], first) << size << " " << i;
      ASSERT_EQ(near.second[i], second) << size << " " << i;
      ASSERT_EQ(near.distance2[i], Distance2(colors[i], palette[first]));
      ASSERT_EQ(near.secondDistance2[i], Distance2(colors[i], palette[second]));
    }
  }
}

// The tracker gives the plain search's answers while entries move: a few steps at a time, many at
// once, far, onto each other (ties), and when the palette changes size.
TEST(NearestTracker, AnswersAsThePlainSearchWhileEntriesMove) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> channel(0, 255), step(-4, 4), pick(0, 99);
  std::vector<ColorValue> colors(3001);
  for (ColorValue& c : colors) c = MakeColor(channel(random), channel(random), channel(random) / 8);
  quantize::NearestTracker tracker(colors, 2);
  for (std::size_t size : {200u, 2u, 31u}) {
    std::vector<ColorValue> palette(size);
    for (ColorValue& c : palette) c = MakeColor(channel(random), channel(random), channel(random));
    for (int round = 0; round < 12; ++round) {
      const quantize::NearestEntries expected = quantize::AssignNearestEntries(colors, palette, 1);
      const quantize::NearestEntries& got = tracker.Assign(palette);
      ASSERT_EQ(got.first, expected.first) << size << " " << round;
      ASSERT_EQ(got.second, expected.second) << size << " " << round;
      ASSERT_EQ(got.distance2, expected.distance2);
      ASSERT_EQ(got.secondDistance2, expected.secondDistance2);
      for (ColorValue& c : palette) {
        const int chance = pick(random);
        if (chance < 40)
          c = MakeColor(std::clamp(RedOf(c) + step(random), 0, 255), GreenOf(c),
                        std::clamp(BlueOf(c) + step(random), 0, 255));
        else if (chance < 42)
          c = palette[static_cast<std::size_t>(pick(random)) % palette.size()];
        else if (chance < 44)
          c = MakeColor(channel(random), channel(random), channel(random));
      }
    }
  }
}

}  // namespace
}  // namespace tavlo::testing
