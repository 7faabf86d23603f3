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

// Where the range's entries go, and the fixed one that stays.
struct Layout {
  const PaletteColors& colors;
  EntryRange range;
  int fixed;

  RangeEdit Edit(const std::vector<ColorValue>& live, std::size_t before) const {
    return {WithRangeEntries(colors, range, live, fixed), static_cast<int>(before - live.size()),
            PlacesHeld(range, static_cast<int>(live.size()), fixed)};
  }
  // The entries the range holds from its first once `live` are written back.
  std::vector<ColorValue> Held(const std::vector<ColorValue>& live) const {
    const RangeEdit edit = Edit(live, live.size());
    return RangeEntries(edit.colors, {range.first, range.first + edit.kept - 1});
  }
};

ReductionOutcome Unchanged(const Layout& layout, const RangeMapping& mapping,
                           ReductionOutcome::Status status) {
  ReductionOutcome outcome;
  outcome.status = status;
  outcome.edit = {layout.colors, 0, layout.range.Count()};
  outcome.meanLoss = mapping.MeanLoss();
  outcome.shareAboveOne = mapping.ShareAboveOne();
  return outcome;
}

ReductionOutcome Reached(const Layout& layout, std::size_t before, const RangeMapping& mapping) {
  ReductionOutcome outcome;
  outcome.status = ReductionOutcome::Status::Reached;
  outcome.edit = layout.Edit(mapping.LiveEntries(), before);
  outcome.meanLoss = mapping.MeanLoss();
  outcome.shareAboveOne = mapping.ShareAboveOne();
  return outcome;
}

ReductionOutcome WithinShare(const Layout& layout, Reducer& reducer, double limit, StopFlag stop) {
  const RangeMapping& mapping = reducer.Mapping();
  const std::size_t before = mapping.LiveCount();
  if (mapping.ShareAboveOne() > limit)
    return Unchanged(layout, mapping, ReductionOutcome::Status::BrokenAtStart);
  while (mapping.LiveCount() > 1) {
    ThrowIfStopped(stop);
    const Reducer::Step step = reducer.Next();
    if (step.loss.shareAboveOne > limit) break;
    reducer.Take(step);
  }
  if (mapping.LiveCount() == before)
    return Unchanged(layout, mapping, ReductionOutcome::Status::AlreadyMet);
  return Reached(layout, before, mapping);
}

// Every step down to one entry, with the live entries and the loss after it.
struct Record {
  std::vector<ColorValue> live;
  RangeMapping::Loss loss;
};

std::vector<Record> AllSteps(Reducer& reducer, StopFlag stop) {
  const RangeMapping& mapping = reducer.Mapping();
  std::vector<Record> records;
  while (mapping.LiveCount() > 1) {
    ThrowIfStopped(stop);
    reducer.Take(reducer.Next());
    records.push_back({mapping.LiveEntries(), {mapping.MeanLoss(), mapping.ShareAboveOne()}});
  }
  return records;
}

ReductionOutcome Chosen(const Layout& layout, std::size_t before, const Record& chosen) {
  ReductionOutcome outcome;
  outcome.status = ReductionOutcome::Status::Reached;
  outcome.edit = layout.Edit(chosen.live, before);
  outcome.meanLoss = chosen.loss.mean;
  outcome.shareAboveOne = chosen.loss.shareAboveOne;
  return outcome;
}

// The visible loss needs the whole picture filtered for each palette, so it is measured only at
// the start and on the steps that halving visits; it grows with the steps almost always.
ReductionOutcome WithinVisibleShare(const Layout& layout, Reducer& reducer, double limit,
                                    const PictureMeasureOf& visibleShare, StopFlag stop) {
  const RangeMapping& mapping = reducer.Mapping();
  const std::size_t before = mapping.LiveCount();
  const double start = visibleShare(layout.Held(mapping.LiveEntries()));
  auto unchanged = [&](ReductionOutcome::Status status) {
    ReductionOutcome outcome = Unchanged(layout, mapping, status);
    outcome.visibleShare = start;
    return outcome;
  };
  if (start > limit) return unchanged(ReductionOutcome::Status::BrokenAtStart);
  const std::vector<Record> records = AllSteps(reducer, stop);
  // The last step within the limit: steps up to `low` are (the start is step -1), beyond `high`
  // are not.
  std::ptrdiff_t low = -1, high = std::ptrdiff_t(records.size()) - 1;
  double lowShare = start;
  while (low < high) {
    ThrowIfStopped(stop);
    const std::ptrdiff_t middle = (low + high + 1) / 2;
    const double share = visibleShare(layout.Held(records[std::size_t(middle)].live));
    if (share <= limit)
      low = middle, lowShare = share;
    else
      high = middle - 1;
  }
  if (low < 0) return unchanged(ReductionOutcome::Status::AlreadyMet);
  ReductionOutcome outcome = Chosen(layout, before, records[std::size_t(low)]);
  outcome.visibleShare = lowShare;
  return outcome;
}

ReductionOutcome DownToSize(const Layout& layout, Reducer& reducer, std::uint64_t limit,
                            const PictureMeasureOf& gifSize, StopFlag stop) {
  const RangeMapping& mapping = reducer.Mapping();
  const std::size_t before = mapping.LiveCount();
  const auto bytesOf = [&](const std::vector<ColorValue>& live) {
    return static_cast<std::uint64_t>(gifSize(layout.Held(live)));
  };
  const std::uint64_t start = bytesOf(mapping.LiveEntries());
  if (start <= limit) {
    ReductionOutcome outcome = Unchanged(layout, mapping, ReductionOutcome::Status::AlreadyMet);
    outcome.gifBytes = start;
    return outcome;
  }
  // Then the first step small enough, found by halving: the size falls with the steps almost
  // always, so only a few GIFs need to be made.
  const std::vector<Record> records = AllSteps(reducer, stop);
  ReductionOutcome outcome;
  outcome.meanLoss = mapping.MeanLoss();
  outcome.shareAboveOne = mapping.ShareAboveOne();
  outcome.gifBytes = records.empty() ? start : bytesOf(records.back().live);
  if (records.empty() || outcome.gifBytes > limit) {
    outcome.status = ReductionOutcome::Status::Unreachable;
    outcome.edit = {layout.colors, 0, layout.range.Count()};
    return outcome;
  }
  std::size_t low = 0, high = records.size() - 1;  // records[high] is small enough
  while (low < high) {
    ThrowIfStopped(stop);
    const std::size_t middle = (low + high) / 2;
    const std::uint64_t size = bytesOf(records[middle].live);
    if (size <= limit)
      high = middle, outcome.gifBytes = size;
    else
      low = middle + 1;
  }
  const std::uint64_t bytes = outcome.gifBytes;
  outcome = Chosen(layout, before, records[high]);
  outcome.gifBytes = bytes;
  return outcome;
}

}  // namespace

ReductionOutcome ReduceToTarget(const PaletteColors& colors, EntryRange range,
                                const std::vector<ColorCount>& histogram,
                                const ReductionTarget& target, const PictureMeasureOf& measure,
                                int threads, StopFlag stop, int fixed) {
  const Layout layout{colors, range, fixed};
  std::vector<ColorValue> entries = RangeEntries(colors, range, fixed);
  if (entries.empty()) return {ReductionOutcome::Status::AlreadyMet, {colors, 0, range.Count()}};
  const quantize::WorkingColors working = quantize::MakeWorkingColors(histogram, threads, stop);
  Reducer reducer(working, std::move(entries), target.IsShare(), threads);
  switch (target.kind) {
    case ReductionTarget::Kind::ShareAboveOne:
      return WithinShare(layout, reducer, target.percent / 100, stop);
    case ReductionTarget::Kind::VisibleShareAboveOne:
      return WithinVisibleShare(layout, reducer, target.percent / 100, measure, stop);
    case ReductionTarget::Kind::GifBytes:
      break;
  }
  return DownToSize(layout, reducer, target.bytes, measure, stop);
}

}  // namespace tavlo
