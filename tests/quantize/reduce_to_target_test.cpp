#include "quantize/reduce_to_target.h"

#include <gtest/gtest.h>

#include "quantize/palette_loss.h"
#include "support/color_pictures.h"
#include "support/named_colors.h"

namespace tavlo::testing {
namespace {

constexpr ColorValue kOutside = 0x00ABCDEF;

struct Fixture {
  std::vector<ColorCount> histogram = HistogramOfPixels(GradientPixels());
  PaletteColors colors;
  EntryRange range{8, 71};
  Fixture() {
    colors.fill(kOutside);
    colors = PaletteFromPicture(colors, range, histogram).colors;
  }
  double ShareAboveOne(const PaletteColors& palette, int entries) const {
    const auto working = quantize::MakeWorkingColors(histogram, 1);
    const std::vector<ColorValue> live(palette.begin() + range.first,
                                       palette.begin() + range.first + entries);
    return quantize::LossOf(working, live, 1).aboveOne;
  }
};

void ExpectOutsideUntouched(const PaletteColors& colors, EntryRange range) {
  for (int i = 0; i < kPaletteSize; ++i) {
    if (range.Contains(i)) continue;
    EXPECT_EQ(colors[i], kOutside) << i;
  }
}

const PictureMeasureOf kNoGif = [](const std::vector<ColorValue>&) -> std::uint64_t {
  ADD_FAILURE() << "no GIF size is needed for a loss target";
  return 0;
};

TEST(ReduceToTarget, StaysWithinAShareAndStopsBeforeTheStepThatWouldBreakIt) {
  const Fixture f;
  const double start = f.ShareAboveOne(f.colors, 64);
  const ReductionTarget target{ReductionTarget::Kind::ShareAboveOne, 0, 100 * start + 5};
  const ReductionOutcome outcome = ReduceToTarget(f.colors, f.range, f.histogram, target, kNoGif);
  ASSERT_EQ(outcome.status, ReductionOutcome::Status::Reached);
  EXPECT_GT(outcome.edit.removed, 0);
  EXPECT_EQ(outcome.edit.kept + outcome.edit.removed, 64);
  const double share = f.ShareAboveOne(outcome.edit.colors, outcome.edit.kept);
  EXPECT_NEAR(outcome.shareAboveOne, share, 1e-9);
  EXPECT_LE(share, target.percent / 100);
  for (int i = f.range.first + outcome.edit.kept; i <= f.range.last; ++i)
    EXPECT_EQ(outcome.edit.colors[i], kBlack);
  ExpectOutsideUntouched(outcome.edit.colors, f.range);
  // It stopped because the next step breaks the target: from where it ended, nothing more goes.
  const ReductionOutcome again =
      ReduceToTarget(outcome.edit.colors, {f.range.first, f.range.first + outcome.edit.kept - 1},
                     f.histogram, target, kNoGif);
  EXPECT_EQ(again.status, ReductionOutcome::Status::AlreadyMet);
  EXPECT_EQ(again.edit.colors, outcome.edit.colors);
}

TEST(ReduceToTarget, AShareBrokenAtTheStartChangesNothing) {
  const Fixture f;
  const double start = f.ShareAboveOne(f.colors, 64);
  const ReductionTarget target{ReductionTarget::Kind::ShareAboveOne, 0, 100 * start / 2};
  const ReductionOutcome outcome = ReduceToTarget(f.colors, f.range, f.histogram, target, kNoGif);
  EXPECT_EQ(outcome.status, ReductionOutcome::Status::BrokenAtStart);
  EXPECT_EQ(outcome.edit.colors, f.colors);
  EXPECT_NEAR(outcome.shareAboveOne, start, 1e-9);
}

// A size that falls by 100 bytes an entry: the reduction must end with the first entry count
// that is small enough, and make only a few GIFs on the way.
TEST(ReduceToTarget, ReachesAGifSizeWithTheFewestStepsAndNoFurther) {
  const Fixture f;
  int calls = 0;
  const PictureMeasureOf size = [&](const std::vector<ColorValue>& entries) {
    ++calls;
    return std::uint64_t{1000 + 100 * entries.size()};
  };
  const ReductionOutcome outcome = ReduceToTarget(f.colors, f.range, f.histogram,
                                                  {ReductionTarget::Kind::GifBytes, 4050, 0}, size);
  ASSERT_EQ(outcome.status, ReductionOutcome::Status::Reached);
  EXPECT_EQ(outcome.edit.kept, 30);
  EXPECT_EQ(outcome.gifBytes, 4000u);
  EXPECT_LE(calls, 10);
  ExpectOutsideUntouched(outcome.edit.colors, f.range);
  // The loss figures are those of the 30 entries kept.
  EXPECT_NEAR(outcome.shareAboveOne, f.ShareAboveOne(outcome.edit.colors, 30), 1e-9);

  const auto already = ReduceToTarget(f.colors, f.range, f.histogram,
                                      {ReductionTarget::Kind::GifBytes, 7400, 0}, size);
  EXPECT_EQ(already.status, ReductionOutcome::Status::AlreadyMet);
  EXPECT_EQ(already.gifBytes, 7400u);
  EXPECT_EQ(already.edit.colors, f.colors);

  const auto unreachable = ReduceToTarget(f.colors, f.range, f.histogram,
                                          {ReductionTarget::Kind::GifBytes, 1099, 0}, size);
  EXPECT_EQ(unreachable.status, ReductionOutcome::Status::Unreachable);
  EXPECT_EQ(unreachable.gifBytes, 1100u);
  EXPECT_EQ(unreachable.edit.colors, f.colors);
}

// A visible share that rises by a percent for each entry gone: the reduction keeps the last count
// within the limit, weighing only a few palettes, and changes nothing when the start breaks it or
// the first step would.
TEST(ReduceToTarget, StaysWithinAVisibleShareWeighingFewPalettes) {
  const Fixture f;
  int calls = 0;
  const PictureMeasureOf visible = [&](const std::vector<ColorValue>& entries) {
    ++calls;
    return 0.01 * double(64 - int(entries.size()));
  };
  const auto target = [](double percent) {
    return ReductionTarget{ReductionTarget::Kind::VisibleShareAboveOne, 0, percent};
  };
  const ReductionOutcome outcome =
      ReduceToTarget(f.colors, f.range, f.histogram, target(20.5), visible);
  ASSERT_EQ(outcome.status, ReductionOutcome::Status::Reached);
  EXPECT_EQ(outcome.edit.kept, 44);
  EXPECT_NEAR(outcome.visibleShare, 0.20, 1e-12);
  EXPECT_LE(calls, 8);
  ExpectOutsideUntouched(outcome.edit.colors, f.range);
  const struct {
    double percent;
    ReductionOutcome::Status status;
  } unchanged[] = {{0.5, ReductionOutcome::Status::AlreadyMet},
                   {-1, ReductionOutcome::Status::BrokenAtStart}};
  for (const auto& [percent, status] : unchanged) {
    const auto none = ReduceToTarget(f.colors, f.range, f.histogram, target(percent), visible);
    EXPECT_EQ(none.status, status) << percent;
    EXPECT_EQ(none.edit.colors, f.colors) << percent;
    EXPECT_EQ(none.visibleShare, 0) << percent;
  }
}

// Entries no pixel uses, and repeats, cost nothing: they are the first to go.
TEST(ReduceToTarget, TakesUnusedEntriesAndRepeatsFirst) {
  const auto histogram = HistogramOf({{kRed, 50}, {kGreen, 40}, {kBlue, 30}, {0x0000F0, 20}});
  PaletteColors colors;
  colors.fill(kOutside);
  const ColorValue entries[] = {kRed, kGreen, kRed, kWhite, kBlue, 0x0000F0};
  for (int k = 0; k < 6; ++k) colors[k] = entries[k];
  const PictureMeasureOf size = [](const std::vector<ColorValue>& e) {
    return std::uint64_t{e.size()};
  };
  const auto outcome =
      ReduceToTarget(colors, {0, 5}, histogram, {ReductionTarget::Kind::GifBytes, 4, 0}, size);
  ASSERT_EQ(outcome.status, ReductionOutcome::Status::Reached);
  const ColorValue expected[] = {kRed, kGreen, kBlue, 0x0000F0, kBlack, kBlack};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(outcome.edit.colors[k], expected[k]) << k;
  EXPECT_EQ(outcome.meanLoss, 0);
}

}  // namespace
}  // namespace tavlo::testing
