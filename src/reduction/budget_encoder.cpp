#include "reduction/budget_encoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>

#include "reduction/gif_encoder.h"
#include "reduction/lzw_strips.h"

namespace tavlo {
namespace {

constexpr std::uint32_t kTableSize = 1u << kMaxLzwCodeBits;

struct Vec {
  float L = 0, a = 0, b = 0;
  Vec operator+(const Vec& o) const { return {L + o.L, a + o.a, b + o.b}; }
  Vec operator-(const Vec& o) const { return {L - o.L, a - o.a, b - o.b}; }
  Vec operator*(float f) const { return {L * f, a * f, b * f}; }
  Vec& operator+=(const Vec& o) {
    L += o.L;
    a += o.a;
    b += o.b;
    return *this;
  }
};

// The strings a strip's decoder knows: a hash table from prefix code and appended index to the
// string's code, laid out as the exact encoder's (a slot holds the key above the code; 0 is
// empty, since every string of two indexes or more has a code above the clear code).
class StringTable {
 public:
  StringTable() : slots_(std::make_unique<std::uint32_t[]>(kSlots)) {}

  void Clear() { std::fill_n(slots_.get(), kSlots, 0u); }

  // The code of string `prefix` followed by `index`, 0 when the table has none.
  std::uint32_t Child(std::uint32_t prefix, std::uint32_t index) const {
    const std::uint32_t key = (prefix << 8) | index;
    for (std::uint32_t slot = SlotOf(key);; slot = (slot + 1) & (kSlots - 1)) {
      const std::uint32_t entry = slots_[slot];
      if (entry == 0) return 0;
      if ((entry >> kMaxLzwCodeBits) == key) return entry & (kTableSize - 1);
    }
  }

  void Add(std::uint32_t prefix, std::uint32_t index, std::uint32_t code) {
    const std::uint32_t key = (prefix << 8) | index;
    std::uint32_t slot = SlotOf(key);
    while (slots_[slot] != 0) slot = (slot + 1) & (kSlots - 1);
    slots_[slot] = (key << kMaxLzwCodeBits) | code;
  }

 private:
  static constexpr std::uint32_t kSlots = 8 * kTableSize;
  static std::uint32_t SlotOf(std::uint32_t key) { return (key * 0x9E3779B1u) >> (32 - 15); }
  std::unique_ptr<std::uint32_t[]> slots_;
};

// What every strip reads.
struct Context {
  const PictureColors& colors;
  const AllowedEntries& allowed;
  const std::atomic<bool>* stop;
  std::uint8_t* written = nullptr;  // each pixel's entry, and its loss
  float* pixelLoss = nullptr;
  std::array<Vec, 256> entryLab{};
  int width = 0;
  int codeSize = 0;
  float lossWeight = 0, targetWeight = 0;
  float largestError2 = 0;
  float keptBelow = 0;
  int searchSteps = 0;
  bool noReward = false;
};

struct Tally {
  std::vector<std::uint64_t> usage;
  double lossSum = 0;
  float maxLoss = 0;
  std::uint64_t aboveOne = 0;
};

// One strip: the choice of each pixel's entry, the string table and the code stream.
class BudgetStrip {
 public:
  explicit BudgetStrip(const Context& context) : c_(context), clear_(1u << context.codeSize) {
    for (auto& row : rows_) row.resize(size_t(context.width) + 2);
  }

  void Encode(const Strip& strip, BitStream& out, Tally& tally) {
    writer_.Begin(out, strip.length);
    for (auto& row : rows_) std::fill(row.begin(), row.end(), Vec{});
    ClearTable();
    if (strip.first) Put(clear_);
    const size_t end = strip.begin + strip.length;
    bool havePrevious = false;
    std::uint32_t previous = 0;  // the code of the string before
    size_t x = strip.begin % size_t(c_.width);
    for (size_t p = strip.begin; p < end;) {
      if (c_.stop && c_.stop->load(std::memory_order_relaxed)) break;
      if (havePrevious && next_ == kTableSize) {  // full: the exact encoder clears here
        Put(previous);
        Put(clear_);
        ClearTable();
        havePrevious = false;
      }
      pendingPrefix_ = havePrevious ? previous : kNone;
      Search(p, end);
      if (havePrevious) {
        Put(previous);
        table_.Add(previous, best_[0].index, next_);
        if (next_ >= (1u << width_) && width_ < kMaxLzwCodeBits) ++width_;
        ++next_;
      }
      previous = bestCode_;
      havePrevious = true;
      for (size_t i = 0; i < bestLength_; ++i, ++p) {
        if (p + kAhead < end)  // its colour's record is on its way when the search gets there
          __builtin_prefetch(&c_.allowed.color[c_.colors.ColorOfPixel(p + kAhead)]);
        Write(p, x, best_[i], tally);
        if (++x == size_t(c_.width)) x = 0;
      }
    }
    Put(previous);
    if (next_ >= (1u << width_) && width_ < kMaxLzwCodeBits) ++width_;
    Put(strip.last ? clear_ + 1 : clear_);
    writer_.End(out);
  }

 private:
  static constexpr std::uint32_t kNone = 0xFFFFFFFF;
  static constexpr size_t kAhead = 48;  // pixels: how far ahead colour records are fetched

  // A pixel of a string: the entry it is written as, and where that is in the allowed lists.
  struct Step {
    std::uint32_t offset;
    std::uint8_t index;
    bool nearest;
  };
  struct Candidate {
    float extra;  // what it costs beyond the nearest entry
    Step step;
    std::uint32_t code;  // of the string it makes
    Vec carry;           // the error it carries to the next pixel of the row
  };
  struct Frame {
    size_t begin, end, next;  // its candidates
    float extra;              // the cost of the path up to here
    int x, rowsOn;            // of the pixel whose candidates these are
    size_t pathLength;        // of the path before that pixel
  };

  void ClearTable() {
    table_.Clear();
    next_ = clear_ + 2;
    width_ = c_.codeSize + 1;
  }

  void Put(std::uint32_t code) { writer_.Put(code, width_); }

  static float Norm2(const Vec& v, const AllowedColor& color) {
    return color.lightWeight * v.L * v.L + color.chromaWeight * (v.a * v.a + v.b * v.b);
  }

  Vec Limited(const Vec& error, float norm2) const {
    return norm2 > c_.largestError2 ? error * std::sqrt(c_.largestError2 / norm2) : error;
  }

  // The code of the string `code` followed by `index` at `depth` pixels into the search, kNone
  // when there is none: the root's strings are the single indexes, and the string that the
  // previous string plus this one's first index makes is known to the decoder by the time it
  // reads this one.
  std::uint32_t ChildOf(int depth, std::uint32_t code, std::uint8_t index) const {
    if (depth == 0) return index;
    if (const std::uint32_t child = table_.Child(code, index)) return child;
    if (code == pendingPrefix_ && next_ < kTableSize && index == path_[0].index) return next_;
    return kNone;
  }

  // The candidates of pixel p, `depth` pixels into the search at column x and `rowsOn` rows
  // below its start, after the string `code` with `carry` from the pixel before: returns how
  // many; one is put into `only`, several are added to candidates_, cheapest first.
  size_t Gather(size_t p, int depth, int x, int rowsOn, std::uint32_t code, const Vec& carry,
                Candidate& only) {
    const AllowedColor& color = c_.allowed.color[c_.colors.ColorOfPixel(p)];
    Vec target = Vec{color.L, color.a, color.b} + carry;
    if (rowsOn < 2) target += rows_[size_t(rowsOn)][size_t(x) + 1];
    const float share = x + 1 < c_.width ? 7.0f / 16 : 0.0f;
    const std::uint32_t first = color.first;
    const Vec nearestError = target - c_.entryLab[color.nearest];
    const float nearest2 = Norm2(nearestError, color);
    if (color.count == 1 || color.nearestLoss <= c_.keptBelow) {  // the nearest entry alone
      const std::uint32_t child = ChildOf(depth, code, color.nearest);
      if (child == kNone) return 0;
      only = {0, {first, color.nearest, true}, child, Limited(nearestError, nearest2) * share};
      return 1;
    }
    const size_t begin = candidates_.size();
    const float nearestDistance = std::sqrt(nearest2);
    const float nearestLoss = color.nearestLoss;
    for (std::uint32_t offset = first; offset < first + color.count; ++offset) {
      const std::uint8_t index = c_.allowed.entry[offset];
      const std::uint32_t child = ChildOf(depth, code, index);
      if (child == kNone) continue;
      const Vec error = target - c_.entryLab[index];
      const float norm2 = Norm2(error, color);
      float extra = c_.allowed.loss[offset] - nearestLoss +
                    c_.targetWeight * std::max(0.0f, std::sqrt(norm2) - nearestDistance);
      if (c_.noReward) extra = std::max(0.0f, extra);
      candidates_.push_back(
          {extra, {offset, index, offset == first}, child, Limited(error, norm2) * share});
    }
    // Cheapest first, ties in range order; a colour may have a hundred entries within a large
    // budget, too many to sort by insertion.
    std::stable_sort(candidates_.begin() + std::ptrdiff_t(begin), candidates_.end(),
                     [](const Candidate& a, const Candidate& b) { return a.extra < b.extra; });
    const size_t count = candidates_.size() - begin;
    if (count == 1) {
      only = candidates_.back();
      candidates_.pop_back();
    }
    return count;
  }

  // Takes `chosen` as the next pixel of the path; keeps the path as the best string when it is.
  void Extend(const Candidate& chosen, float extra, size_t& shared, float& bestScore) {
    path_.push_back(chosen.step);
    const size_t length = path_.size();
    const float score = (float(width_) + c_.lossWeight * extra) / float(length);
    if (score < bestScore) {
      bestScore = score;
      if (best_.size() < length) best_.resize(2 * length);
      for (size_t i = shared; i < length; ++i) best_[i] = path_[i];
      shared = length;
      bestLength_ = length;
      bestCode_ = chosen.code;
    }
  }

  // The string to write from pixel `from` on, into best_, bestLength_ and bestCode_: a depth-
  // first search in which a pixel with one candidate only is a step, not a branch.
  void Search(size_t from, size_t end) {
    path_.clear();
    frames_.clear();
    candidates_.clear();
    bestLength_ = 0;
    size_t shared = 0;  // of path_ and best_
    float bestScore = std::numeric_limits<float>::max();
    int steps = 0;
    bool descended = false;  // the first descent has ended
    const int fromX = static_cast<int>(from % size_t(c_.width));
    Candidate only{};
    if (Gather(from, 0, fromX, 0, 0, {}, only) == 1) candidates_.push_back(only);
    frames_.push_back({0, candidates_.size(), 0, 0, fromX, 0, 0});
    while (!frames_.empty()) {
      Frame& frame = frames_.back();
      if (frame.next == frame.end || (frame.next > frame.begin && steps >= c_.searchSteps)) {
        candidates_.resize(frame.begin);
        path_.resize(frame.pathLength);
        shared = std::min(shared, path_.size());
        frames_.pop_back();
        continue;
      }
      Candidate chosen = candidates_[frame.next++];
      float extra = frame.extra + chosen.extra;
      int x = frame.x, rowsOn = frame.rowsOn;
      const size_t pathLength = frame.pathLength;
      path_.resize(pathLength);
      shared = std::min(shared, pathLength);
      for (;;) {
        steps += descended;
        Extend(chosen, extra, shared, bestScore);
        if (++x == c_.width) {
          x = 0;
          ++rowsOn;
        }
        const size_t p = from + path_.size();
        const size_t begin = candidates_.size();
        const size_t count =
            p < end ? Gather(p, int(path_.size()), x, rowsOn, chosen.code, chosen.carry, only) : 0;
        if (count == 0) {
          descended = true;
          break;
        }
        if (count > 1) {
          frames_.push_back({begin, begin + count, begin, extra, x, rowsOn, path_.size()});
          break;
        }
        chosen = only;  // one way on: no branch to come back to
        extra += chosen.extra;
      }
    }
  }

  // Writes pixel p, in column `column`, as `step` says and carries its error on.
  void Write(size_t p, size_t column, const Step& step, Tally& tally) {
    const AllowedColor& color = c_.allowed.color[c_.colors.ColorOfPixel(p)];
    const std::uint8_t index = step.index;
    const float loss = step.nearest ? color.nearestLoss : c_.allowed.loss[step.offset];
    c_.written[p] = index;
    c_.pixelLoss[p] = loss;
    ++tally.usage[index];
    tally.lossSum += loss;
    tally.maxLoss = std::max(tally.maxLoss, loss);
    tally.aboveOne += loss > 1.0f;

    const size_t x = column + 1;
    const Vec raw = Vec{color.L, color.a, color.b} + rows_[0][x] - c_.entryLab[index];
    const Vec error = Limited(raw, Norm2(raw, color));
    if (x < size_t(c_.width)) rows_[0][x + 1] += error * (7.0f / 16);
    rows_[1][x - 1] += error * (3.0f / 16);
    rows_[1][x] += error * (5.0f / 16);
    rows_[1][x + 1] += error * (1.0f / 16);
    if (x == size_t(c_.width)) {  // the row is done: the next one's errors come forward
      std::swap(rows_[0], rows_[1]);
      std::fill(rows_[1].begin(), rows_[1].end(), Vec{});
    }
  }

  const Context& c_;
  const std::uint32_t clear_;
  StringTable table_;
  std::uint32_t next_ = 0;  // the code the next string gets
  int width_ = 0;           // of the codes
  std::uint32_t pendingPrefix_ = kNone;
  CodeWriter writer_;
  // The error carried into this row and the next, pixel x at x + 1.
  std::array<std::vector<Vec>, 2> rows_;
  std::vector<Step> path_, best_;
  size_t bestLength_ = 0;
  std::uint32_t bestCode_ = 0;
  std::vector<Candidate> candidates_;
  std::vector<Frame> frames_;
};

}  // namespace

bool EncodeGifWithinBudget(const PictureColors& colors, const std::vector<ColorValue>& entries,
                           const AllowedEntries& allowed, BudgetedGif& result, int threads,
                           const std::atomic<bool>* stop, const BudgetTuning& tuning,
                           int transparent) {
  result = BudgetedGif{};
  if (colors.Distinct() == 0 || entries.empty() || entries.size() > 256 ||
      allowed.color.size() != colors.Distinct()) {
    result.error = QStringLiteral("There is no picture to write.");
    return true;
  }
  result.error = GifSizeError(colors.width, colors.height);
  if (!result.error.isEmpty()) return true;

  Context context{colors, allowed, stop};
  for (size_t k = 0; k < entries.size(); ++k) {
    const Lab lab = LabFromColor(entries[k]);
    context.entryLab[k] = {float(lab.L), float(lab.a), float(lab.b)};
  }
  context.width = colors.width;
  context.codeSize = GifCodeSize(static_cast<int>(entries.size()));
  const double above5 = std::min(1.0, 5 / allowed.budget);
  context.lossWeight = float(tuning.lossWeight * std::pow(above5, tuning.falloff));
  context.keptBelow = float(tuning.keptBelow * std::pow(above5, tuning.keptFalloff));
  context.targetWeight = float(tuning.targetWeight);
  context.largestError2 = float(tuning.largestError * tuning.largestError);
  context.searchSteps = tuning.searchSteps;
  context.noReward = tuning.noReward;

  const size_t pixels = static_cast<size_t>(colors.PictureSize());
  result.indexes.resize(pixels);
  result.pixelLoss.resize(pixels);
  context.written = result.indexes.data();
  context.pixelLoss = result.pixelLoss.data();
  std::vector<Tally> tallies((pixels + kLzwStripLength - 1) / kLzwStripLength);
  for (Tally& tally : tallies) tally.usage.assign(entries.size(), 0);
  std::vector<std::uint8_t> codes = EncodeStrips(pixels, threads, [&]() -> StripWorker {
    auto strip = std::make_shared<BudgetStrip>(context);
    return [strip, &tallies](const Strip& part, BitStream& out) {
      strip->Encode(part, out, tallies[part.begin / kLzwStripLength]);
    };
  });
  if (stop && stop->load()) return false;

  result.gif = GifFile(colors.width, colors.height, entries, codes, transparent);
  result.codes = std::move(codes);
  result.usage.assign(entries.size(), 0);
  for (const Tally& tally : tallies) {
    for (size_t k = 0; k < entries.size(); ++k) result.usage[k] += tally.usage[k];
    result.lossSum += tally.lossSum;
    result.maxLoss = std::max(result.maxLoss, tally.maxLoss);
    result.aboveOne += tally.aboveOne;
  }
  return true;
}

}  // namespace tavlo
