// The colours of several pictures added up: the same as counting them as one picture.
#include "cli/histogram_sum.h"
#include "reduction/picture_colors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>

namespace tavlo::testing {
namespace {

std::vector<std::uint32_t> RandomPixels(std::mt19937& random, size_t count, int colors) {
  std::vector<std::uint32_t> pixels(count);
  std::uniform_int_distribution<int> pick(0, colors - 1);
  for (auto& pixel : pixels) pixel = 0xFF000000u | std::uint32_t(pick(random)) * 0x010307u;
  return pixels;
}

// The histogram of the picture of these pixels, ascending by colour.
std::vector<ColorCount> Count(const std::vector<std::uint32_t>& pixels, int width) {
  const int height = int(pixels.size()) / width;
  std::vector<ColorCount> histogram =
      AnalysePicture(pixels.data(), width, height, std::ptrdiff_t(width) * 4).histogram;
  std::ranges::sort(histogram, {}, &ColorCount::color);
  return histogram;
}

TEST(HistogramSum, EqualsTheHistogramOfThePicturesSideBySideInAnyOrder) {
  std::mt19937 random(7);
  const auto a = RandomPixels(random, 40 * 30, 50);
  const auto b = RandomPixels(random, 40 * 10, 90);  // shares some colours with a
  const auto c = RandomPixels(random, 40 * 1, 3);
  std::vector<std::uint32_t> together = a;
  together.insert(together.end(), b.begin(), b.end());
  together.insert(together.end(), c.begin(), c.end());
  const std::vector<ColorCount> expected = Count(together, 40);

  cli::HistogramSum forward, backward;
  for (const auto* picture : {&a, &b, &c}) forward.Add(Count(*picture, 40));
  for (const auto* picture : {&c, &b, &a}) backward.Add(Count(*picture, 40));
  EXPECT_EQ(forward.Counts(), expected);
  EXPECT_EQ(backward.Counts(), expected);
  EXPECT_TRUE(cli::HistogramSum().Empty());
  EXPECT_TRUE(cli::HistogramSum().Counts().empty());
}

TEST(HistogramSum, CountsBeyondTheirWidthAreScaledAllAlike) {
  constexpr std::uint32_t kMost = std::numeric_limits<std::uint32_t>::max();
  const std::vector<ColorCount> big = {{0x10, kMost - 5}, {0x20, kMost / 2}, {0x30, 1}};
  const std::vector<ColorCount> more = {{0x10, kMost - 5}, {0x20, kMost / 2}, {0x40, 1000}};
  cli::HistogramSum sum;
  sum.Add(big);
  sum.Add(more);
  const std::vector<ColorCount> counts = sum.Counts();
  ASSERT_EQ(counts.size(), 4u);
  // 2:1 between the first two stays, the smallest do not vanish.
  EXPECT_NEAR(double(counts[0].count) / counts[1].count, 2.0, 1e-6);
  EXPECT_GT(counts[0].count, kMost / 2);
  EXPECT_EQ(counts[2].count, 1u);
  EXPECT_EQ(counts[3].count, 500u);
}

}  // namespace
}  // namespace tavlo::testing
