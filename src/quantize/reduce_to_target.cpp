#include "quantize/reduce_to_target.h"

#include <algorithm>

#include "color_science/ciede2000.h"
#include "quantize/range_mapping.h"
#include "quantize/working_colors.h"
#include "quantize/working_space.h"

namespace tavlo {
namespace {

using quantize::RangeMapping;

// The steps of a reduction, one entry at a time, on a mapping of the picture to the range.
class Reducer {
 public:
  Reducer(const quantize::WorkingColors& colors, std::vector<ColorValue> entries, bool byShare,
          int threads)
      : mapping_(colors, std::move(entries), threads), byShare_(byShare) {
    const std::size_t k = mapping_.Entries().size();
    lab_.resize(k);
    for (std::size_t e = 0; e < k; ++e) lab_[e] = LabFromColor(mapping_.Entries()[e]);
    distance_.assign(k * k, 0);
    for (std::size_t e = 0; e < k; ++e) Measure(e);
  }

  const RangeMapping& Mapping() const { return mapping_; }

  // What the next step would do: which entry goes, which one changes colour, and the loss.
  using Step = RangeMapping::Plan;
  Step Next() const {
    const std::size_t e = Cheapest();
    Step removal = mapping_.Try(e, RangeMapping::kNone, 0);
    const std::size_t f = NearestOther(e);
    const std::uint64_t ue = mapping_.Usage()[e], uf = mapping_.Usage()[f];
    const ColorValue x = mapping_.Entries()[e], y = mapping_.Entries()[f];
    if (ue == 0 || x == y) return removal;
    Step merge = mapping_.Try(e, f, quantize::WeightedMean(x, ue, y, uf));
    return Better(merge.loss, removal.loss) ? merge : removal;
  }

  void Take(const Step& step) {
    mapping_.Change(step);
    if (step.changed != RangeMapping::kNone) {
      lab_[step.changed] = LabFromColor(step.color);
      Measure(step.changed);
    }
  }

 private:
  bool Better(const RangeMapping::Loss& x, const RangeMapping::Loss& y) const {
    if (byShare_ && x.shareAboveOne != y.shareAboveOne) return x.shareAboveOne < y.shareAboveOne;
    return x.mean < y.mean;
  }

  void Measure(std::size_t e) {
    const std::size_t k = lab_.size();
    for (std::size_t f = 0; f < k; ++f)
      distance_[e * k + f] = distance_[f * k + e] = e == f ? 0 : Ciede2000(lab_[e], lab_[f]);
  }

  std::size_t NearestOther(std::size_t e) const {
    const std::size_t k = lab_.size();
    std::size_t best = RangeMapping::kNone;
    for (std::size_t f = 0; f < k; ++f)
      if (f != e && mapping_.Live(f) &&
          (best == RangeMapping::kNone || distance_[e * k + f] < distance_[e * k + best]))
        best = f;
    return best;
  }

  // The live entry of the least pixels x distance to its nearest other; of equal ones the less
  // used, then the later one (so of two equal colours the first stays).
  std::size_t Cheapest() const {
    const std::size_t k = lab_.size();
    std::size_t best = RangeMapping::kNone;
    double bestCost = 0;
    for (std::size_t e = 0; e < k; ++e) {
      if (!mapping_.Live(e)) continue;
      const double cost =
          static_cast<double>(mapping_.Usage()[e]) * distance_[e * k + NearestOther(e)];
      if (best == RangeMapping::kNone || cost < bestCost ||
          (cost == bestCost && mapping_.Usage()[e] <= mapping_.Usage()[best]))
        best = e, bestCost = cost;
    }
    return best;
  }

  RangeMapping mapping_;
  const bool byShare_;
  std::vector<Lab> lab_;
  std::vector<double> distance_;
};

ReductionOutcome Unchanged(const PaletteColors& colors, const RangeMapping& mapping,
                           ReductionOutcome::Status status) {
  ReductionOutcome outcome;
  outcome.status = status;
  outcome.edit = {colors, 0, static_cast<int>(mapping.LiveCount())};
  outcome.meanLoss = mapping.MeanLoss();
  outcome.shareAboveOne = mapping.ShareAboveOne();
  return outcome;
}

ReductionOutcome Reached(const PaletteColors& colors, EntryRange range, std::size_t before,
                         const RangeMapping& mapping) {
  ReductionOutcome outcome;
  outcome.status = ReductionOutcome::Status::Reached;
  const std::vector<ColorValue> live = mapping.LiveEntries();
  outcome.edit = {WithRangeEntries(colors, range, live), static_cast<int>(before - live.size()),
                  static_cast<int>(live.size())};
  outcome.meanLoss = mapping.MeanLoss();
  outcome.shareAboveOne = mapping.ShareAboveOne();
  return outcome;
}

ReductionOutcome WithinShare(const PaletteColors& colors, EntryRange range, Reducer& reducer,
                             double limit, StopFlag stop) {
  const RangeMapping& mapping = reducer.Mapping();
  const std::size_t before = mapping.LiveCount();
  if (mapping.ShareAboveOne() > limit)
    return Unchanged(colors, mapping, ReductionOutcome::Status::BrokenAtStart);
  while (mapping.LiveCount() > 1) {
    ThrowIfStopped(stop);
    const Reducer::Step step = reducer.Next();
    if (step.loss.shareAboveOne > limit) break;
    reducer.Take(step);
  }
  if (mapping.LiveCount() == before)
    return Unchanged(colors, mapping, ReductionOutcome::Status::AlreadyMet);
  return Reached(colors, range, before, mapping);
}

ReductionOutcome DownToSize(const PaletteColors& colors, EntryRange range, Reducer& reducer,
                            std::uint64_t limit, const GifSizeOf& gifSize, StopFlag stop) {
  const RangeMapping& mapping = reducer.Mapping();
  const std::size_t before = mapping.LiveCount();
  const std::uint64_t start = gifSize(mapping.LiveEntries());
  if (start <= limit) {
    ReductionOutcome outcome = Unchanged(colors, mapping, ReductionOutcome::Status::AlreadyMet);
    outcome.gifBytes = start;
    return outcome;
  }
  // Every step down to one entry; then the first one small enough, found by halving: the size
  // falls with the steps almost always, so only a few GIFs need to be made.
  struct Record {
    std::vector<ColorValue> live;
    RangeMapping::Loss loss;
  };
  std::vector<Record> records;
  while (mapping.LiveCount() > 1) {
    ThrowIfStopped(stop);
    reducer.Take(reducer.Next());
    records.push_back({mapping.LiveEntries(), {mapping.MeanLoss(), mapping.ShareAboveOne()}});
  }
  ReductionOutcome outcome;
  outcome.meanLoss = mapping.MeanLoss();
  outcome.shareAboveOne = mapping.ShareAboveOne();
  outcome.gifBytes = records.empty() ? start : gifSize(records.back().live);
  if (records.empty() || outcome.gifBytes > limit) {
    outcome.status = ReductionOutcome::Status::Unreachable;
    outcome.edit = {colors, 0, static_cast<int>(before)};
    return outcome;
  }
  std::size_t low = 0, high = records.size() - 1;  // records[high] is small enough
  while (low < high) {
    ThrowIfStopped(stop);
    const std::size_t middle = (low + high) / 2;
    const std::uint64_t size = gifSize(records[middle].live);
    if (size <= limit)
      high = middle, outcome.gifBytes = size;
    else
      low = middle + 1;
  }
  const Record& chosen = records[high];
  outcome.status = ReductionOutcome::Status::Reached;
  outcome.edit = {WithRangeEntries(colors, range, chosen.live),
                  static_cast<int>(before - chosen.live.size()),
                  static_cast<int>(chosen.live.size())};
  outcome.meanLoss = chosen.loss.mean;
  outcome.shareAboveOne = chosen.loss.shareAboveOne;
  return outcome;
}

}  // namespace

ReductionOutcome ReduceToTarget(const PaletteColors& colors, EntryRange range,
                                const std::vector<ColorCount>& histogram,
                                const ReductionTarget& target, const GifSizeOf& gifSize,
                                int threads, StopFlag stop) {
  const quantize::WorkingColors working = quantize::MakeWorkingColors(histogram, threads, stop);
  const bool byShare = target.kind == ReductionTarget::Kind::ShareAboveOne;
  Reducer reducer(working, RangeEntries(colors, range), byShare, threads);
  if (byShare) return WithinShare(colors, range, reducer, target.percent / 100, stop);
  return DownToSize(colors, range, reducer, target.bytes, gifSize, stop);
}

}  // namespace tavlo
