#include "quantize/range_operations.h"

#include <gtest/gtest.h>

#include "color_science/ciede2000.h"
#include "quantize/reduce_to_target.h"
#include "support/color_pictures.h"
#include "support/named_colors.h"

namespace tavlo::testing {
namespace {

constexpr ColorValue kGrey = 0x808080;
constexpr ColorValue kOutside = 0x00ABCDEF;

PaletteColors Marked() {
  PaletteColors colors;
  colors.fill(kOutside);
  return colors;
}

void ExpectOutsideUntouched(const PaletteColors& colors, EntryRange range) {
  for (int i = 0; i < kPaletteSize; ++i) {
    if (range.Contains(i)) continue;
    EXPECT_EQ(colors[i], kOutside) << i;
  }
}

double Distance(ColorValue x, ColorValue y) {
  return Ciede2000(LabFromColor(x), LabFromColor(y));
}

TEST(PaletteFromPicture, FillsTheRangeMostUsedFirstAndTheRestBlack) {
  const EntryRange range{10, 19};
  const auto histogram = HistogramOf({{kRed, 1}, {kGreen, 30}, {kBlue, 5}});
  const RangeEdit edit = PaletteFromPicture(Marked(), range, histogram);
  EXPECT_EQ(edit.kept, 3);
  EXPECT_EQ(edit.colors[10], kGreen);
  EXPECT_EQ(edit.colors[11], kBlue);
  EXPECT_EQ(edit.colors[12], kRed);
  for (int i = 13; i <= 19; ++i) EXPECT_EQ(edit.colors[i], kBlack);
  ExpectOutsideUntouched(edit.colors, range);

  const RangeEdit full =
      PaletteFromPicture(Marked(), {0, 255}, HistogramOfPixels(GradientPixels()));
  EXPECT_EQ(full.kept, 256);
}

TEST(RemoveUnusedEntries, ClosesUpInOrderAndLeavesTheRestAlone) {
  PaletteColors colors = Marked();
  const EntryRange range{4, 9};
  // Entry 6 repeats entry 4 (ties go to the lower index), entry 8 is far from every pixel.
  const ColorValue entries[] = {kRed, kGreen, kRed, kBlue, kWhite, 0x0000F0};
  for (int k = 0; k < 6; ++k) colors[4 + k] = entries[k];
  const auto histogram = HistogramOf({{0x0000F8, 4}, {0x00F800, 2}, {0xF00000, 9}, {0x0000F0, 1}});
  const RangeEdit edit = RemoveUnusedEntries(colors, range, histogram);
  EXPECT_EQ(edit.removed, 2);
  EXPECT_EQ(edit.kept, 4);
  const ColorValue expected[] = {kRed, kGreen, kBlue, 0x0000F0, kBlack, kBlack};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(edit.colors[4 + k], expected[k]) << k;
  ExpectOutsideUntouched(edit.colors, range);

  const RangeEdit again = RemoveUnusedEntries(edit.colors, {4, 7}, histogram);
  EXPECT_EQ(again.removed, 0);
  EXPECT_EQ(again.colors, edit.colors);
}

TEST(MergeNearColors, MergesOnlyPairsCloserThanTheThreshold) {
  PaletteColors colors = Marked();
  const EntryRange range{0, 3};
  colors[0] = kGrey;
  colors[1] = 0x828282;  // about 0.6 from grey
  colors[2] = 0x8C8C8C;  // about 3.4 from grey
  colors[3] = kRed;
  ASSERT_LT(Distance(kGrey, 0x828282), 1.0);
  ASSERT_GT(Distance(kGrey, 0x8C8C8C), 2.0);
  const auto histogram = HistogramOf({{kGrey, 10}, {0x828282, 30}, {0x8C8C8C, 5}, {kRed, 5}});

  EXPECT_EQ(MergeNearColors(colors, range, histogram, 0.5).removed, 0);
  EXPECT_EQ(MergeNearColors(colors, range, histogram, 0.5).colors, colors);

  const RangeEdit edit = MergeNearColors(colors, range, histogram, 1.0);
  EXPECT_EQ(edit.removed, 1);
  // The merged colour lies between the two, nearer the more used, in the first entry's place:
  // the less used entry 0 goes and the rest close up.
  const ColorValue merged = edit.colors[0];
  EXPECT_LT(Distance(merged, 0x828282), Distance(merged, kGrey));
  EXPECT_LT(Distance(merged, kGrey), Distance(kGrey, 0x828282));
  EXPECT_EQ(edit.colors[1], 0x8C8C8C);
  EXPECT_EQ(edit.colors[2], kRed);
  EXPECT_EQ(edit.colors[3], kBlack);
  ExpectOutsideUntouched(edit.colors, range);
}

// However the merges chain, the entries left are all at least the threshold apart.
TEST(MergeNearColors, LeavesNoPairNearerThanTheThreshold) {
  const auto histogram = HistogramOfPixels(GradientPixels());
  const RangeEdit start = PaletteFromPicture(Marked(), {0, 127}, histogram);
  for (double threshold : {10.0, 20.0}) {
    const RangeEdit edit = MergeNearColors(start.colors, {0, 127}, histogram, threshold);
    EXPECT_GT(edit.removed, 0);
    EXPECT_EQ(edit.kept + edit.removed, 128);
    for (int x = 0; x < edit.kept; ++x)
      for (int y = x + 1; y < edit.kept; ++y)
        EXPECT_GE(Distance(edit.colors[x], edit.colors[y]), threshold) << x << " " << y;
  }
}

TEST(PaletteFromPicture, AReservedColorTakesTheFirstEntryAndTheRestFollowIt) {
  const auto histogram = HistogramOf({{kRed, 1}, {kGreen, 30}, {kBlue, 5}});
  const RangeEdit edit = PaletteFromPicture(Marked(), {10, 14}, histogram, {}, kWhite);
  EXPECT_EQ(edit.kept, 4);
  const ColorValue expected[] = {kWhite, kGreen, kBlue, kRed, kBlack};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(edit.colors[10 + k], expected[k]) << k;
  ExpectOutsideUntouched(edit.colors, {10, 14});
}

// A fixed entry (the transparent one), unused by every pixel and a near twin of another entry,
// keeps its place and colour through every operation that removes or merges entries, and
// counts as kept; the other entries close up around it, leaving black entries before it when
// fewer than its place are left.
TEST(RangeOperations, NeverRemoveMoveOrMergeTheFixedEntry) {
  const EntryRange range{4, 9};
  constexpr int kFixed = 6;
  PaletteColors colors = Marked();
  const ColorValue entries[] = {kRed, kGreen, 0x0000FE /* fixed */, kBlue, kWhite, 0x0000FA};
  for (int k = 0; k < 6; ++k) colors[4 + k] = entries[k];
  const auto histogram = HistogramOf({{kRed, 9}, {kGreen, 4}, {kBlue, 3}, {0x0000FA, 2}});
  const PictureMeasureOf unused = [](const std::vector<ColorValue>&) -> std::uint64_t { return 0; };
  const struct {
    const char* name;
    RangeEdit edit;
  } cases[] = {
      {"remove", RemoveUnusedEntries(colors, range, histogram, nullptr, kFixed)},
      {"merge", MergeNearColors(colors, range, histogram, 5.0, nullptr, kFixed)},
      {"reduce",
       ReduceToTarget(colors, range, histogram, {ReductionTarget::Kind::ShareAboveOne, 0, 50.0},
                      unused, 1, nullptr, kFixed)
           .edit},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_GT(c.edit.removed, 0);
    EXPECT_EQ(c.edit.colors[kFixed], 0x0000FE);
    EXPECT_GE(c.edit.kept, kFixed - range.first + 1);
    int coloured = 0;
    for (int i = range.first; i <= range.last; ++i) {
      if (i != kFixed) coloured += c.edit.colors[i] != kBlack;
      if (i >= range.first + c.edit.kept) {
        EXPECT_EQ(c.edit.colors[i], kBlack) << i;
      }
    }
    EXPECT_EQ(coloured + c.edit.removed, range.Count() - 1);
    ExpectOutsideUntouched(c.edit.colors, range);
  }
  EXPECT_EQ(cases[0].edit.colors[4], kRed);
  EXPECT_EQ(cases[0].edit.colors[5], kGreen);
  EXPECT_EQ(cases[0].edit.colors[7], kBlue);
  EXPECT_EQ(cases[0].edit.colors[8], 0x0000FA);
}

}  // namespace
}  // namespace tavlo::testing
