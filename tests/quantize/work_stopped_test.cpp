// Stopping the long work: every operation of the Optimize menu ends by WorkStopped when its stop
// flag is set, before the work or during it, and makes no further GIF once stopped.
#include <gtest/gtest.h>

#include <atomic>

#include "quantize/reduce_to_target.h"
#include "support/color_pictures.h"

namespace tavlo::testing {
namespace {

TEST(WorkStopped, EveryOperationEndsWhenItsFlagIsSet) {
  const std::vector<ColorCount> histogram = HistogramOfPixels(GradientPixels());
  PaletteColors colors{};
  const EntryRange range{0, 63};
  colors = PaletteFromPicture(colors, range, histogram).colors;
  const std::atomic<bool> stop{true};
  int gifs = 0;
  const PictureMeasureOf gifSize = [&](const std::vector<ColorValue>&) -> std::uint64_t {
    return ++gifs, 1;
  };
  const auto reduceTo = [&](const char* target) {
    ReduceToTarget(colors, range, histogram, *ReductionTarget::Parse(target), gifSize, 0, &stop);
  };
  EXPECT_THROW(PaletteFromHistogram(histogram, 64, {.stop = &stop}), WorkStopped);
  EXPECT_THROW(RemoveUnusedEntries(colors, range, histogram, &stop), WorkStopped);
  EXPECT_THROW(MergeNearColors(colors, range, histogram, 5.0, &stop), WorkStopped);
  EXPECT_THROW(reduceTo("<= 50 %"), WorkStopped);
  EXPECT_THROW(reduceTo("<= 1000"), WorkStopped);
  EXPECT_EQ(gifs, 0);
}

// Stopped while it works, between one GIF and the next: the reduction makes no other.
TEST(WorkStopped, AReductionToAGifSizeStopsAfterTheGifDuringWhichItWasAsked) {
  const std::vector<ColorCount> histogram = HistogramOfPixels(GradientPixels());
  const EntryRange range{0, 63};
  const PaletteColors colors = PaletteFromPicture(PaletteColors{}, range, histogram).colors;
  std::atomic<bool> stop{false};
  int gifs = 0;
  const PictureMeasureOf gifSize = [&](const std::vector<ColorValue>& entries) -> std::uint64_t {
    stop = ++gifs == 2;
    return entries.size() * 100;
  };
  EXPECT_THROW(ReduceToTarget(colors, range, histogram, *ReductionTarget::Parse("<= 3000"), gifSize,
                              0, &stop),
               WorkStopped);
  EXPECT_EQ(gifs, 2);
}

}  // namespace
}  // namespace tavlo::testing
