#include "quantize/range_mapping.h"

#include <climits>

#include "color_science/ciede2000.h"
#include "quantize/rgb_nearest.h"

namespace tavlo::quantize {
namespace {

std::int32_t Distance2(ColorValue x, ColorValue y) {
  const std::int32_t dr = RedOf(x) - RedOf(y), dg = GreenOf(x) - GreenOf(y),
                     db = BlueOf(x) - BlueOf(y);
  return dr * dr + dg * dg + db * db;
}

}  // namespace

RangeMapping::RangeMapping(const WorkingColors& colors, std::vector<ColorValue> entries,
                           int threads)
    : colors_(colors),
      threads_(threads),
      entries_(std::move(entries)),
      live_(entries_.size(), true),
      liveCount_(entries_.size()),
      loss_(colors.Size(), 0),
      usage_(entries_.size(), 0) {
  for (ColorValue c : entries_) entryLab_.push_back(LabFromColor(c));
  nearest_ = AssignNearestEntries(colors_.color, entries_, threads_).first;
  for (std::size_t i = 0; i < colors_.Size(); ++i) {
    const std::uint16_t e = nearest_[i];
    nearest_[i] = UINT16_MAX;
    SetMapping(i, e, static_cast<float>(Ciede2000(colors_.lab[i], entryLab_[e])));
  }
}

void RangeMapping::SetMapping(std::size_t i, std::uint16_t e, float loss) {
  const double w = colors_.count[i];
  if (nearest_[i] != UINT16_MAX) {
    usage_[nearest_[i]] -= colors_.count[i];
    lossSum_ -= w * loss_[i];
    if (loss_[i] > 1.0f) aboveOne_ -= w;
  }
  nearest_[i] = e;
  loss_[i] = loss;
  usage_[e] += colors_.count[i];
  lossSum_ += w * loss;
  if (loss > 1.0f) aboveOne_ += w;
}

std::uint16_t RangeMapping::NearestLive(std::size_t i, std::size_t gone, std::size_t changed,
                                        ColorValue color) const {
  std::int32_t best = INT32_MAX;
  std::size_t pick = 0;
  for (std::size_t e = 0; e < entries_.size(); ++e) {
    if (!live_[e] || e == gone) continue;
    const std::int32_t d = Distance2(colors_.color[i], e == changed ? color : entries_[e]);
    if (d < best) best = d, pick = e;
  }
  return static_cast<std::uint16_t>(pick);
}

template <typename Visit>
void RangeMapping::ForChanged(std::size_t gone, std::size_t changed, ColorValue color,
                              const Lab& lab, Visit visit) const {
  for (std::size_t i = 0; i < colors_.Size(); ++i) {
    const std::size_t now = nearest_[i];
    std::size_t to = now;
    if (now == gone || now == changed) {
      to = NearestLive(i, gone, changed, color);
    } else if (changed != kNone) {
      const std::int32_t d = Distance2(colors_.color[i], color);
      const std::int32_t dNow = Distance2(colors_.color[i], entries_[now]);
      if (d < dNow || (d == dNow && changed < now)) to = changed;
    }
    if (to == now && now != changed) continue;
    const Lab& target = to == changed ? lab : entryLab_[to];
    visit(i, static_cast<std::uint16_t>(to), static_cast<float>(Ciede2000(colors_.lab[i], target)));
  }
}

RangeMapping::Loss RangeMapping::Try(std::size_t gone, std::size_t changed,
                                     ColorValue color) const {
  double lossSum = lossSum_, aboveOne = aboveOne_;
  const Lab lab = LabFromColor(color);
  ForChanged(gone, changed, color, lab, [&](std::size_t i, std::uint16_t, float loss) {
    const double w = colors_.count[i];
    lossSum += w * (double(loss) - loss_[i]);
    aboveOne += w * ((loss > 1.0f) - (loss_[i] > 1.0f));
  });
  return {lossSum / colors_.totalWeight, aboveOne / colors_.totalWeight};
}

RangeMapping::Loss RangeMapping::Change(std::size_t gone, std::size_t changed, ColorValue color) {
  const Lab lab = LabFromColor(color);
  std::vector<std::pair<std::uint32_t, std::pair<std::uint16_t, float>>> moves;
  ForChanged(gone, changed, color, lab, [&](std::size_t i, std::uint16_t to, float loss) {
    moves.push_back({static_cast<std::uint32_t>(i), {to, loss}});
  });
  if (gone != kNone && live_[gone] && liveCount_ > 1) live_[gone] = false, --liveCount_;
  if (changed != kNone) entries_[changed] = color, entryLab_[changed] = lab;
  for (const auto& [i, move] : moves) SetMapping(i, move.first, move.second);
  return {MeanLoss(), ShareAboveOne()};
}

std::vector<ColorValue> RangeMapping::LiveEntries() const {
  std::vector<ColorValue> live;
  for (std::size_t e = 0; e < entries_.size(); ++e)
    if (live_[e]) live.push_back(entries_[e]);
  return live;
}

}  // namespace tavlo::quantize
