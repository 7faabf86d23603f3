#include "quantize/range_mapping.h"

#include <algorithm>
#include <climits>

#include "color_science/ciede2000_batch.h"
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
      members_(entries_.size()),
      place_(colors.Size(), 0),
      reach2_(entries_.size(), 0),
      loss_(colors.Size(), 0),
      usage_(entries_.size(), 0) {
  for (ColorValue c : entries_) entryLab_.push_back(LabFromColor(c));
  nearest_ = AssignNearestEntries(colors_.color, entries_, threads_).first;
  std::vector<Lab> target(colors_.Size());
  for (std::size_t i = 0; i < colors_.Size(); ++i) target[i] = entryLab_[nearest_[i]];
  std::vector<double> loss(colors_.Size());
  Ciede2000Batch(colors_.Size(), colors_.lab.data(), target.data(), loss.data());
  for (std::size_t i = 0; i < colors_.Size(); ++i) {
    const std::uint16_t e = nearest_[i];
    nearest_[i] = UINT16_MAX;
    SetMapping(i, e, static_cast<float>(loss[i]));
  }
}

void RangeMapping::SetMapping(std::size_t i, std::uint16_t e, float loss) {
  const double w = colors_.count[i];
  if (nearest_[i] != UINT16_MAX) {
    usage_[nearest_[i]] -= colors_.count[i];
    lossSum_ -= w * loss_[i];
    if (loss_[i] > 1.0f) aboveOne_ -= w;
    std::vector<std::uint32_t>& left = members_[nearest_[i]];
    place_[left.back()] = place_[i];
    left[place_[i]] = left.back();
    left.pop_back();
  }
  place_[i] = static_cast<std::uint32_t>(members_[e].size());
  members_[e].push_back(static_cast<std::uint32_t>(i));
  reach2_[e] = std::max(reach2_[e], Distance2(colors_.color[i], entries_[e]));
  nearest_[i] = e;
  loss_[i] = loss;
  usage_[e] += colors_.count[i];
  lossSum_ += w * loss;
  if (loss > 1.0f) aboveOne_ += w;
}

RangeMapping::Plan RangeMapping::Try(std::size_t gone, std::size_t changed,
                                     ColorValue color) const {
  Plan plan{gone, changed, color, {}, {}};
  // Working lists kept from call to call: a reduction makes hundreds of plans.
  thread_local std::vector<std::uint32_t> searched, touched;
  thread_local std::vector<ColorValue> live, searchedColors;
  thread_local std::vector<std::uint16_t> entryOf;
  thread_local std::vector<Lab> from, to;
  thread_local std::vector<double> loss;
  searched.clear(), touched.clear(), live.clear(), entryOf.clear();
  // The colours the change touches, in order: those of the entry that goes or changes (searched
  // again among the live entries), and those that the changed entry now takes from another.
  for (std::size_t e : {gone, changed})
    if (e != kNone) searched.insert(searched.end(), members_[e].begin(), members_[e].end());
  std::sort(searched.begin(), searched.end());
  if (changed != kNone) TakenBy(changed, color, gone, touched);
  std::sort(touched.begin(), touched.end());
  for (std::size_t s = 0, t = 0; s < searched.size() || t < touched.size();) {
    if (t == touched.size() || (s < searched.size() && searched[s] < touched[t]))
      plan.moves.push_back({searched[s++], UINT16_MAX, 0});
    else
      plan.moves.push_back({touched[t++], static_cast<std::uint16_t>(changed), 0});
  }
  // The live entries (the changed one in its new colour) in order, for a search of all at once.
  for (std::size_t e = 0; e < entries_.size(); ++e)
    if (live_[e] && e != gone)
      live.push_back(e == changed ? color : entries_[e]),
          entryOf.push_back(static_cast<std::uint16_t>(e));
  searchedColors.resize(searched.size());
  for (std::size_t s = 0; s < searched.size(); ++s) searchedColors[s] = colors_.color[searched[s]];
  const std::vector<std::uint16_t> found =
      live.empty() ? std::vector<std::uint16_t>(searched.size(), 0)
                   : AssignNearestEntries(searchedColors, live, threads_).first;
  // Where they go and their loss there.
  const Lab lab = LabFromColor(color);
  from.resize(plan.moves.size()), to.resize(plan.moves.size());
  std::size_t s = 0;
  for (std::size_t m = 0; m < plan.moves.size(); ++m) {
    Plan::Move& move = plan.moves[m];
    if (move.entry == UINT16_MAX) move.entry = live.empty() ? 0 : entryOf[found[s++]];
    from[m] = colors_.lab[move.color];
    to[m] = move.entry == changed ? lab : entryLab_[move.entry];
  }
  loss.resize(plan.moves.size());
  Ciede2000Batch(plan.moves.size(), from.data(), to.data(), loss.data());
  double lossSum = lossSum_, aboveOne = aboveOne_;
  for (std::size_t m = 0; m < plan.moves.size(); ++m) {
    Plan::Move& move = plan.moves[m];
    move.loss = static_cast<float>(loss[m]);
    const double w = colors_.count[move.color];
    lossSum += w * (double(move.loss) - loss_[move.color]);
    aboveOne += w * ((move.loss > 1.0f) - (loss_[move.color] > 1.0f));
  }
  plan.loss = {lossSum / colors_.totalWeight, aboveOne / colors_.totalWeight};
  return plan;
}

void RangeMapping::TakenBy(std::size_t e, ColorValue color, std::size_t gone,
                           std::vector<std::uint32_t>& out) const {
  // A colour of entry f nearer to `colour` than to f is at most twice its distance to f from f.
  for (std::size_t f = 0; f < entries_.size(); ++f) {
    if (f == e || f == gone || !live_[f] || Distance2(entries_[f], color) > 4 * reach2_[f])
      continue;
    for (std::uint32_t i : members_[f]) {
      const std::int32_t d = Distance2(colors_.color[i], color);
      const std::int32_t dNow = Distance2(colors_.color[i], entries_[f]);
      if (d < dNow || (d == dNow && e < f)) out.push_back(i);
    }
  }
}

RangeMapping::Loss RangeMapping::Change(const Plan& plan) {
  if (plan.gone != kNone && live_[plan.gone] && liveCount_ > 1)
    live_[plan.gone] = false, --liveCount_;
  if (plan.changed != kNone) {
    entries_[plan.changed] = plan.color, entryLab_[plan.changed] = LabFromColor(plan.color);
    reach2_[plan.changed] = 0;  // its colours all come again below
  }
  for (const Plan::Move& move : plan.moves) SetMapping(move.color, move.entry, move.loss);
  return {MeanLoss(), ShareAboveOne()};
}

std::vector<ColorValue> RangeMapping::LiveEntries() const {
  std::vector<ColorValue> live;
  for (std::size_t e = 0; e < entries_.size(); ++e)
    if (live_[e]) live.push_back(entries_[e]);
  return live;
}

}  // namespace tavlo::quantize
