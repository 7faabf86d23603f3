#include "operations/palette_operations.h"
#include "support/named_colors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace tavlo::testing {
namespace {

PaletteColors Filled(ColorValue color) {
  PaletteColors colors;
  colors.fill(color);
  return colors;
}

// A palette of 256 different colours, none black.
PaletteColors Numbered() {
  PaletteColors colors;
  for (int i = 0; i < kPaletteSize; ++i) colors[i] = 1000 + i * 4099;
  return colors;
}

// Random palettes; drawing from a small pool gives many repeats, from the whole range few.
PaletteColors RandomPalette(std::mt19937& random, int poolSize) {
  std::uniform_int_distribution<ColorValue> anyColor(0, 0x00FFFFFF);
  std::vector<ColorValue> pool(poolSize);
  for (ColorValue& c : pool) c = anyColor(random);
  if (poolSize > 2) pool[0] = kBlack;
  std::uniform_int_distribution<int> pick(0, poolSize - 1);
  PaletteColors colors;
  for (ColorValue& c : colors) c = pool[pick(random)];
  return colors;
}

TEST(ShiftPalette, LeftMovesToHigherIndicesAndWrapsTheLastEntryToTheFirst) {
  const PaletteColors colors = Numbered();
  const PaletteColors left = ShiftPaletteLeft(colors);
  EXPECT_EQ(left[0], colors[255]);
  EXPECT_EQ(left[1], colors[0]);
  EXPECT_EQ(left[255], colors[254]);
  const PaletteColors right = ShiftPaletteRight(colors);
  EXPECT_EQ(right[255], colors[0]);
  EXPECT_EQ(right[0], colors[1]);
  EXPECT_EQ(right[254], colors[255]);
}

TEST(ShiftPalette, EachUndoesTheOtherAndAFullTurnRestores) {
  std::mt19937 random(7);
  const PaletteColors colors = RandomPalette(random, 1000);
  EXPECT_EQ(ShiftPaletteRight(ShiftPaletteLeft(colors)), colors);
  EXPECT_EQ(ShiftPaletteLeft(ShiftPaletteRight(colors)), colors);
  PaletteColors left = colors, right = colors;
  for (int i = 0; i < kPaletteSize; ++i) {
    left = ShiftPaletteLeft(left);
    right = ShiftPaletteRight(right);
    if (i < kPaletteSize - 1) {
      EXPECT_NE(left, colors);
    }
  }
  EXPECT_EQ(left, colors);
  EXPECT_EQ(right, colors);
}

TEST(ClearRange, ClearsExactlyTheRangeBothEndsIncluded) {
  PaletteColors colors = Filled(kWhite);
  colors[0] = kRed;
  const PaletteColors cleared = ClearRange(colors, {9, 19});
  for (int i = 0; i < kPaletteSize; ++i)
    EXPECT_EQ(cleared[i], i >= 9 && i <= 19 ? kBlack : colors[i]) << i;

  const PaletteColors single = ClearRange(colors, {4, 4});
  EXPECT_EQ(std::count(single.begin(), single.end(), kBlack), 1);
  EXPECT_EQ(single[4], kBlack);
  EXPECT_EQ(ClearRange(colors, {0, 255}), Filled(kBlack));
  // A range reaching beyond the palette clears only what lies inside it.
  EXPECT_EQ(ClearRange(colors, {-5, 300}), Filled(kBlack));
}

TEST(SortColorValues, SortsAnyLengthAsSignedNumbers) {
  std::vector<ColorValue> values = {5, -1, kWhite, 0, 5, kRed};
  SortColorValues(values);
  EXPECT_EQ(values, (std::vector<ColorValue>{-1, 0, 5, 5, kRed, kWhite}));
  std::vector<ColorValue> none;
  SortColorValues(none);
  EXPECT_TRUE(none.empty());
}

TEST(SortAndClean, BlueBeforeGreenBeforeRedThenBlack) {
  PaletteColors colors = Filled(kBlack);
  colors[200] = kRed;
  colors[3] = kGreen;
  colors[77] = kBlue;
  PaletteColors expected = Filled(kBlack);
  expected[0] = kBlue;
  expected[1] = kGreen;
  expected[2] = kRed;
  EXPECT_EQ(SortAndClean(colors), expected);
}

TEST(SortAndClean, RepeatsStandOnceAndBlackStaysBlack) {
  EXPECT_EQ(SortAndClean(Filled(kBlack)), Filled(kBlack));
  PaletteColors colors = Filled(kBlack);
  for (int i = 0; i < 10; ++i) colors[i] = kRed;
  PaletteColors expected = Filled(kBlack);
  expected[0] = kRed;
  EXPECT_EQ(SortAndClean(colors), expected);
  // White is the largest value, so it always comes first.
  colors[255] = kWhite;
  EXPECT_EQ(SortAndClean(colors)[0], kWhite);
}

TEST(SortAndClean, AllDifferentColorsAreOnlyReordered) {
  const PaletteColors colors = Numbered();
  PaletteColors expected = colors;
  std::sort(expected.begin(), expected.end(), std::greater<>());
  EXPECT_EQ(SortAndClean(colors), expected);
}

// Over random palettes: the distinct colours are kept, each once, in falling order, and every
// black stands at the end; a second run changes nothing.
TEST(SortAndClean, PropertiesOverRandomPalettes) {
  std::mt19937 random(2024);
  for (int round = 0; round < 300; ++round) {
    const PaletteColors colors = RandomPalette(random, round % 2 ? 12 : 400);
    const PaletteColors sorted = SortAndClean(colors);
    std::set<ColorValue> before(colors.begin(), colors.end());
    std::set<ColorValue> after(sorted.begin(), sorted.end());
    before.insert(kBlack);
    after.insert(kBlack);
    ASSERT_EQ(after, before);
    const auto firstBlack = std::find(sorted.begin(), sorted.end(), kBlack);
    ASSERT_TRUE(std::all_of(firstBlack, sorted.end(), [](ColorValue c) { return c == kBlack; }));
    ASSERT_TRUE(std::adjacent_find(sorted.begin(), firstBlack, std::less_equal<>()) == firstBlack);
    ASSERT_EQ(firstBlack - sorted.begin(), static_cast<long>(before.size()) - 1);
    ASSERT_EQ(SortAndClean(sorted), sorted);
  }
}

TEST(CompressChannel, RoundsDownToTheDivisorButKeepsTheExtremes) {
  EXPECT_EQ(CompressChannel(0, 50), 0);
  EXPECT_EQ(CompressChannel(1, 50), 0);
  EXPECT_EQ(CompressChannel(49, 50), 0);
  EXPECT_EQ(CompressChannel(50, 50), 50);
  EXPECT_EQ(CompressChannel(249, 50), 200);
  for (int c = 250; c <= 254; ++c) EXPECT_EQ(CompressChannel(c, 50), 250) << c;
  EXPECT_EQ(CompressChannel(255, 50), 255);
  EXPECT_EQ(CompressChannel(253, 2), 252);
  EXPECT_EQ(CompressChannel(254, 2), 254);
  EXPECT_EQ(CompressChannel(1, 2), 0);
  EXPECT_EQ(CompressChannel(77, 1), 77);
}

TEST(CompressPalette, CoarsensEachChannelThenSortsAndCleans) {
  PaletteColors colors = Filled(kBlack);
  colors[17] = MakeColor(100, 149, 237);
  colors[18] = MakeColor(149, 100, 201);  // coarsens to the same colour as entry 17
  const PaletteColors compressed = CompressPalette(colors, 50);
  EXPECT_EQ(compressed[0], 0x00C86464);
  EXPECT_EQ(compressed[1], kBlack);

  // Blue 254 and blue 255 stay apart: 254 drops to 250, 255 stays.
  colors = Filled(kBlack);
  colors[0] = MakeColor(0, 0, 254);
  colors[1] = MakeColor(0, 0, 255);
  const PaletteColors apart = CompressPalette(colors, 50);
  EXPECT_EQ(apart[0], MakeColor(0, 0, 255));
  EXPECT_EQ(apart[1], MakeColor(0, 0, 250));
  EXPECT_EQ(apart[2], kBlack);
}

TEST(CompressPalette, ColorsTurnedBlackMergeIntoTheBlackTail) {
  PaletteColors colors = Filled(kBlack);
  colors[40] = 0x00010101;
  EXPECT_EQ(CompressPalette(colors, 2), Filled(kBlack));
}

TEST(CompressPalette, TheEightExtremeColorsSurviveEveryDivisor) {
  PaletteColors colors = Filled(kBlack);
  const ColorValue extremes[] = {kBlack,     kRed,       kGreen,     kBlue,
                                 0x0000FFFF, 0x00FF00FF, 0x00FFFF00, kWhite};
  for (int i = 0; i < 8; ++i) colors[i * 30] = extremes[i];
  for (int d = 2; d <= 50; ++d) {
    const PaletteColors compressed = CompressPalette(colors, d);
    EXPECT_EQ(compressed, SortAndClean(colors)) << d;
    EXPECT_EQ(compressed[0], kWhite);
  }
}

TEST(CompressPalette, CompressingTwiceEqualsOnce) {
  std::mt19937 random(99);
  for (int round = 0; round < 200; ++round) {
    const int divisor = 2 + round % 49;
    const PaletteColors once = CompressPalette(RandomPalette(random, 300), divisor);
    ASSERT_EQ(CompressPalette(once, divisor), once) << divisor;
  }
}

TEST(WebSafe, ChannelsGoToTheNearestLevel) {
  const std::pair<int, int> boundaries[] = {{0, 0},     {25, 0},    {26, 51},   {76, 51},
                                            {77, 102},  {127, 102}, {128, 153}, {178, 153},
                                            {179, 204}, {229, 204}, {230, 255}, {255, 255}};
  for (auto [c, level] : boundaries) EXPECT_EQ(WebSafeChannel(c), level) << c;
}

TEST(WebSafe, ConvertsEveryChannelInPlace) {
  PaletteColors colors = Filled(kBlack);
  colors[0] = MakeColor(100, 149, 237);
  colors[255] = MakeColor(25, 26, 230);
  const PaletteColors safe = ConvertToWebSafe(colors);
  EXPECT_EQ(safe[0], MakeColor(102, 153, 255));
  EXPECT_EQ(safe[255], MakeColor(0, 51, 255));
  EXPECT_EQ(safe[1], kBlack);
}

TEST(WebSafe, SafeColorsStayAndConvertingTwiceEqualsOnce) {
  PaletteColors safeColors = Filled(kBlack);
  for (int i = 0; i < 216; ++i) safeColors[i] = MakeColor(i % 6 * 51, i / 6 % 6 * 51, i / 36 * 51);
  EXPECT_EQ(ConvertToWebSafe(safeColors), safeColors);
  std::mt19937 random(5);
  for (int round = 0; round < 100; ++round) {
    const PaletteColors once = ConvertToWebSafe(RandomPalette(random, 1000));
    ASSERT_EQ(ConvertToWebSafe(once), once);
  }
}

TEST(Greyscale, ChannelsWeighAlikeAndRoundToNearest) {
  EXPECT_EQ(GreyLevel(kRed), 85);
  EXPECT_EQ(GreyLevel(kWhite), 255);
  EXPECT_EQ(GreyLevel(kBlack), 0);
  EXPECT_EQ(GreyLevel(MakeColor(1, 0, 0)), 0);
  EXPECT_EQ(GreyLevel(MakeColor(1, 1, 0)), 1);
  EXPECT_EQ(GreyLevel(MakeColor(0, 0, 2)), 1);

  PaletteColors colors = Filled(kWhite);
  colors[3] = kRed;
  colors[4] = MakeColor(1, 1, 0);
  const PaletteColors grey = ConvertToGreyscale(colors);
  EXPECT_EQ(grey[3], 0x00555555);
  EXPECT_EQ(grey[4], 0x00010101);
  EXPECT_EQ(grey[0], kWhite);
}

TEST(Greyscale, ThenWebSafeGivesOnlyTheSixGreyLevels) {
  std::mt19937 random(11);
  const PaletteColors colors = ConvertToWebSafe(ConvertToGreyscale(RandomPalette(random, 1000)));
  for (ColorValue c : colors) {
    const int level = RedOf(c);
    EXPECT_EQ(c, MakeColor(level, level, level));
    EXPECT_EQ(level % 51, 0);
  }
}

}  // namespace
}  // namespace tavlo::testing
