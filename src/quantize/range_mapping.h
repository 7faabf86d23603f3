#pragma once
// A picture's colours mapped to the entries of a palette range by the preview's rule, with the
// pixel count of every entry and the CIEDE2000 loss of every colour, kept up to date as entries
// change colour or go away: the common ground of the range operations.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "color_science/color_histogram.h"
#include "quantize/working_colors.h"

namespace tavlo::quantize {

class RangeMapping {
 public:
  // `entries` are the range's colours in order (1..256 of them).
  RangeMapping(const WorkingColors& colors, std::vector<ColorValue> entries, int threads = 0);

  const std::vector<ColorValue>& Entries() const { return entries_; }
  bool Live(std::size_t e) const { return live_[e]; }
  std::size_t LiveCount() const { return liveCount_; }
  // Pixels mapped to each entry (0 for entries gone).
  const std::vector<std::uint64_t>& Usage() const { return usage_; }
  double MeanLoss() const { return lossSum_ / colors_.totalWeight; }
  double ShareAboveOne() const { return aboveOne_ / colors_.totalWeight; }

  static constexpr std::size_t kNone = SIZE_MAX;

  // What happens if entry `gone` went and entry `changed` took `colour` (either may be kNone),
  // every colour going again to its nearest live entry: the loss figures after it, and where the
  // colours go that it moves. Try() works it out, Change() makes it so.
  struct Loss {
    double mean = 0, shareAboveOne = 0;
  };
  struct Plan {
    std::size_t gone = kNone, changed = kNone;
    ColorValue color = 0;
    Loss loss;
    struct Move {
      std::uint32_t color;
      std::uint16_t entry;
      float loss;
    };
    std::vector<Move> moves;  // in rising order of colour
  };
  Plan Try(std::size_t gone, std::size_t changed, ColorValue color) const;
  Loss Change(const Plan& plan);
  // The colours of the live entries in order.
  std::vector<ColorValue> LiveEntries() const;

 private:
  void SetMapping(std::size_t i, std::uint16_t e, float loss);
  // The colours that entry `e`, taking `colour`, would take from other entries, in `out`.
  void TakenBy(std::size_t e, ColorValue color, std::size_t gone,
               std::vector<std::uint32_t>& out) const;

  const WorkingColors& colors_;
  const int threads_;
  std::vector<ColorValue> entries_;
  std::vector<Lab> entryLab_;
  std::vector<bool> live_;
  std::size_t liveCount_ = 0;
  std::vector<std::uint16_t> nearest_;
  // Each entry's colours (in no order) with the place of each colour in its list, and the
  // largest squared RGB distance of an entry to any colour it has had since it took its colour:
  // an entry that takes another colour can take colours only from entries near it.
  std::vector<std::vector<std::uint32_t>> members_;
  std::vector<std::uint32_t> place_;
  std::vector<std::int32_t> reach2_;
  std::vector<float> loss_;
  std::vector<std::uint64_t> usage_;
  double lossSum_ = 0, aboveOne_ = 0;
};

}  // namespace tavlo::quantize
