#include "quantize/palette_from_histogram.h"

#include <gtest/gtest.h>

#include <set>

#include "color_science/ciede2000.h"
#include "quantize/palette_loss.h"
#include "quantize/rgb_nearest.h"
#include "support/color_pictures.h"
#include "support/named_colors.h"

namespace tavlo::testing {
namespace {

std::vector<std::uint64_t> UsageUnderRule(const std::vector<ColorCount>& histogram,
                                          const std::vector<ColorValue>& palette) {
  std::vector<ColorValue> colors;
  for (const ColorCount& c : histogram) colors.push_back(c.color);
  const auto nearest = quantize::AssignNearestEntries(colors, palette, 1).first;
  std::vector<std::uint64_t> usage(palette.size(), 0);
  for (std::size_t i = 0; i < colors.size(); ++i) usage[nearest[i]] += histogram[i].count;
  return usage;
}

TEST(PaletteFromHistogram, APictureOfFewColorsGivesExactlyThoseMostUsedFirst) {
  const auto histogram = HistogramOf({{kRed, 5}, {kWhite, 40}, {kBlue, 5}, {0x123456, 9}});
  EXPECT_EQ(PaletteFromHistogram(histogram, 4),
            (std::vector<ColorValue>{kWhite, 0x123456, kRed, kBlue}));  // equal counts: by value
  EXPECT_EQ(PaletteFromHistogram(histogram, 256).size(), 4u);
  EXPECT_EQ(PaletteFromHistogram(HistogramOf({{kGreen, 3}}), 1), std::vector<ColorValue>{kGreen});
  EXPECT_TRUE(PaletteFromHistogram({}, 16).empty());
}

TEST(PaletteFromHistogram, GivesAsManyDistinctColorsAsAskedOrderedByUsage) {
  const auto histogram = HistogramOfPixels(GradientPixels());
  for (int count : {1, 2, 16, 255, 256}) {
    const auto palette = PaletteFromHistogram(histogram, count);
    ASSERT_EQ(palette.size(), static_cast<std::size_t>(count));
    EXPECT_EQ(std::set<ColorValue>(palette.begin(), palette.end()).size(), palette.size());
    const auto usage = UsageUnderRule(histogram, palette);
    for (std::size_t e = 1; e < usage.size(); ++e) EXPECT_GE(usage[e - 1], usage[e]) << count;
    EXPECT_GT(usage.back(), 0u) << "an entry no pixel uses is wasted";
  }
}

TEST(PaletteFromHistogram, IsTheSameForAnyNumberOfThreadsAndAnyOrderOfTheColors) {
  const auto histogram = HistogramOfPixels(GradientPixels(300, 200, 3));
  const auto once = PaletteFromHistogram(histogram, 64, {.threads = 1});
  for (int threads : {2, 3, 8, 0})
    EXPECT_EQ(PaletteFromHistogram(histogram, 64, {.threads = threads}), once) << threads;
  // The same counts reversed, and split in two halves as two pictures' histograms would be.
  std::vector<ColorCount> shuffled(histogram.rbegin(), histogram.rend());
  for (std::size_t i = 0; i < histogram.size(); i += 2) {
    shuffled[i].count = (histogram[histogram.size() - 1 - i].count + 1) / 2;
    shuffled.push_back({shuffled[i].color, histogram[histogram.size() - 1 - i].count / 2});
  }
  std::erase_if(shuffled, [](const ColorCount& c) { return c.count == 0; });
  EXPECT_EQ(PaletteFromHistogram(shuffled, 64), once);
  EXPECT_EQ(PaletteFromHistogram(HistogramOf({{kRed, 1}}), 2),
            PaletteFromHistogram(std::vector<ColorCount>{{kRed, 0}, {kRed, 1}}, 2));
}

// The palettes of a small photo-like picture, pinned: the quantizer's faster machinery must give
// exactly the palettes it gave before.
TEST(PaletteFromHistogram, GivesThePinnedPalettesOfASmallPicture) {
  auto rgb = [](std::initializer_list<std::uint32_t> values) {
    std::vector<ColorValue> colors;
    for (std::uint32_t v : values)
      colors.push_back(MakeColor(int(v >> 16), int(v >> 8 & 0xFF), int(v & 0xFF)));
    return colors;
  };
  const auto histogram = HistogramOfPixels(GradientPixels());
  EXPECT_EQ(PaletteFromHistogram(histogram, 8),
            rgb({0x4e2dc3, 0xc0d742, 0x52d87e, 0xcf4f64, 0x4fa399, 0xa1308d, 0x4e6fac, 0xd49548}));
  EXPECT_EQ(PaletteFromHistogram(histogram, 16),
            rgb({0x4323cf, 0xd4dc35, 0x49e582, 0x4456ba, 0x85289e, 0x46bd92, 0x91e051, 0xde3f62,
                 0x92a367, 0xdda63b, 0x437aae, 0xba2f7d, 0x459ba2, 0x955a84, 0xe67148, 0x9e786b}));
}

// Eight tight clusters far apart, of different sizes: eight entries must land one in each, near
// its centre, whatever the sizes.
TEST(PaletteFromHistogram, PutsOneEntryIntoEachSeparateClusterOfColors) {
  const std::vector<ColorValue> centres = {0x101010, 0xF0F0F0, 0x2020D0, 0x20D020,
                                           0xD02020, 0x20D0D0, 0xD0D020, 0x808080};
  std::vector<ColorValue> pixels;
  std::mt19937 random(5);
  std::uniform_int_distribution<int> jitter(-3, 3);
  for (std::size_t k = 0; k < centres.size(); ++k)
    for (std::size_t n = 0; n < 50 + 400 * k; ++n)
      pixels.push_back(MakeColor(RedOf(centres[k]) + jitter(random),
                                 GreenOf(centres[k]) + jitter(random),
                                 BlueOf(centres[k]) + jitter(random)));
  const auto palette = PaletteFromHistogram(HistogramOfPixels(pixels), 8);
  for (ColorValue centre : centres) {
    double nearest = 1e9;
    for (ColorValue entry : palette)
      nearest = std::min(nearest, Ciede2000(LabFromColor(centre), LabFromColor(entry)));
    EXPECT_LT(nearest, 2.0) << std::hex << centre;
  }
}

// A palette for the loss the program reports: better than an even grid of as many colours.
TEST(PaletteFromHistogram, LosesLessThanAnEvenGridOfColors) {
  const auto histogram = HistogramOfPixels(GradientPixels());
  std::vector<ColorValue> grid;
  for (int r = 0; r < 4; ++r)
    for (int g = 0; g < 4; ++g)
      for (int b = 0; b < 4; ++b) grid.push_back(MakeColor(r * 85, g * 85, b * 85));
  const auto colors = quantize::MakeWorkingColors(histogram, 1);
  const double ours = quantize::LossOf(colors, PaletteFromHistogram(histogram, 64), 1).mean;
  EXPECT_LT(ours, 0.6 * quantize::LossOf(colors, grid, 1).mean);
}

}  // namespace
}  // namespace tavlo::testing
