#include "quantize/working_space.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "color_science/ciede2000.h"

namespace tavlo::testing {
namespace {

TEST(WorkingSpace, EveryColorComesBackFromItsOwnPoint) {
  const int levels[] = {0, 1, 2, 17, 63, 64, 127, 128, 200, 253, 254, 255};
  for (int r : levels)
    for (int g : levels)
      for (int b : levels) {
        const ColorValue c = MakeColor(r, g, b);
        ASSERT_EQ(quantize::ColorOfPoint(quantize::WorkingPointOf(c)), c)
            << r << " " << g << " " << b;
      }
  std::mt19937 random(11);
  std::uniform_int_distribution<ColorValue> any(0, 0xFFFFFF);
  for (int n = 0; n < 3000; ++n) {
    const ColorValue c = any(random);
    ASSERT_EQ(quantize::ColorOfPoint(quantize::WorkingPointOf(c)), c) << std::hex << c;
  }
}

TEST(WorkingSpace, PointsOutsideTheColorsGiveTheNearestColorAtTheEdge) {
  EXPECT_EQ(quantize::ColorOfPoint({150, 0, 0}), 0xFFFFFF);
  EXPECT_EQ(quantize::ColorOfPoint({-20, 0, 0}), 0x000000);
}

// Near colours are about as far apart here as CIEDE2000 says: the space is built for it.
TEST(WorkingSpace, DistancesOfNearColorsFollowCiede2000) {
  std::mt19937 random(2);
  std::uniform_int_distribution<int> channel(0, 255), step(-3, 3);
  std::vector<double> ratios;
  while (ratios.size() < 20000) {
    const int r = channel(random), g = channel(random), b = channel(random);
    const ColorValue x = MakeColor(r, g, b);
    const ColorValue y =
        MakeColor(std::clamp(r + step(random), 0, 255), std::clamp(g + step(random), 0, 255),
                  std::clamp(b + step(random), 0, 255));
    const double de = Ciede2000(LabFromColor(x), LabFromColor(y));
    if (de < 0.1) continue;
    const quantize::Point p = quantize::WorkingPointOf(x), q = quantize::WorkingPointOf(y);
    ratios.push_back(std::hypot(p.L - q.L, p.a - q.a, p.b - q.b) / de);
  }
  std::sort(ratios.begin(), ratios.end());
  EXPECT_NEAR(ratios[ratios.size() / 2], 1.0, 0.05);
  EXPECT_GT(ratios[ratios.size() / 20], 0.75);
  EXPECT_LT(ratios[ratios.size() * 19 / 20], 1.25);
}

}  // namespace
}  // namespace tavlo::testing
