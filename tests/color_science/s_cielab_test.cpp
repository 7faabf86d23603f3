// S-CIELAB: flat pictures give CIEDE2000, fine patterns that the eye averages drop out, and the
// mirrored borders add no loss of their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "color_science/ciede2000.h"
#include "color_science/cielab.h"
#include "color_science/s_cielab.h"

namespace tavlo::testing {
namespace {

double Mean(const std::vector<float>& values) {
  return std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
}

TEST(SCielab, EachChannelsFilterSumsToOne) {
  for (int channel = 0; channel < 3; ++channel) {
    double sum = 0;
    for (const SpreadTerm& term : SCielabFilter(channel)) sum += term.weight;
    EXPECT_NEAR(sum, 1.0, 1e-12) << channel;
  }
}

TEST(SCielab, OnAUniformPictureItIsCiede2000) {
  const std::pair<ColorValue, ColorValue> pairs[] = {
      {MakeColor(200, 40, 40), MakeColor(190, 50, 45)},
      {MakeColor(10, 10, 10), MakeColor(20, 12, 9)},
      {MakeColor(90, 160, 230), MakeColor(100, 150, 220)}};
  for (const auto& [a, b] : pairs) {
    const int w = 40, h = 30;
    const std::vector<float> d = SCielabDifferences(std::vector<ColorValue>(w * h, a),
                                                    std::vector<ColorValue>(w * h, b), w, h);
    const double expected = Ciede2000(LabFromColor(a), LabFromColor(b));
    for (float value : d) ASSERT_NEAR(value, expected, 0.01 + 0.002 * expected);
  }
}

TEST(SCielab, AFineCheckerboardLooksLikeItsAverage) {
  const int w = 64, h = 64;
  const ColorValue dark = MakeColor(60, 90, 140), light = MakeColor(180, 150, 100);
  std::vector<ColorValue> checkers(w * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) checkers[y * w + x] = (x + y) % 2 ? dark : light;
  // The average in linear light, as a screen mixes it.
  const ColorValue average = MakeColor(134, 122, 121);
  const std::vector<float> visible =
      SCielabDifferences(checkers, std::vector<ColorValue>(w * h, average), w, h);
  double perPixel = 0;
  for (ColorValue c : checkers) perPixel += Ciede2000(LabFromColor(c), LabFromColor(average));
  perPixel /= double(checkers.size());
  EXPECT_GT(perPixel, 15);
  EXPECT_LT(Mean(visible), perPixel / 10);
}

TEST(SCielab, AShiftedPictureKeepsItsLossAwayFromTheBorders) {
  const int w = 160, h = 120;
  auto picture = [&](int shift) {
    std::vector<ColorValue> pixels(w * h, MakeColor(120, 140, 160));
    for (int y = 50; y < 70; ++y)
      for (int x = 70 + shift; x < 90 + shift; ++x) pixels[y * w + x] = MakeColor(220, 60, 40);
    return pixels;
  };
  const std::vector<float> d = SCielabDifferences(picture(0), picture(3), w, h);
  float border = 0, centre = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool nearBorder = x < 8 || y < 8 || x >= w - 8 || y >= h - 8;
      (nearBorder ? border : centre) = std::max(nearBorder ? border : centre, d[y * w + x]);
    }
  EXPECT_GT(centre, 2);
  EXPECT_LT(border, 0.1);
}

}  // namespace
}  // namespace tavlo::testing
