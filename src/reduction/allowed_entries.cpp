#include "reduction/allowed_entries.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/parallel_work.h"
#include "color_science/ciede2000.h"

namespace tavlo {
namespace {

// The colours' CIELAB values are kept as floats; a difference is taken as within budget only
// when it is so by this much more, so that the promise also holds for differences measured from
// exact CIELAB values.
constexpr double kMargin = 1e-4;

// The largest lightness weight S_L of CIEDE2000 (at L 0 and 100).
constexpr double kMostLightWeight = 1.7475;

struct EntryLab {
  Lab lab;
  double chroma = 0;
  int index = 0;
};

struct ColorLab {
  Lab lab;
  double chroma = 0;
};

double LightWeight(double meanL) {
  const double offset = (meanL - 50) * (meanL - 50);
  return 1 + 0.015 * offset / std::sqrt(20 + offset);
}

// sqrt(C^7 / (C^7 + 25^7)).
double ChromaShare(double chroma) {
  const double c2 = chroma * chroma, c7 = c2 * c2 * c2 * chroma;
  return std::sqrt(c7 / (c7 + 6103515625.0));
}

// Whether CIEDE2000 may be within `budget`, from a lower bound that needs no angles: the
// lightness and chroma terms exactly; the hue difference exactly, over the largest and smallest
// S_H any hue gives; the rotation term at its most negative for the largest sin(2 delta theta).
bool MayBeWithin(const ColorLab& color, const EntryLab& entry, double budget) {
  const Lab& x = color.lab;
  const Lab& y = entry.lab;
  // First the coarsest bound: the a'b' distance is at least the ab distance, S_C at most
  // 1 + 0.045 * 1.5 * the mean chroma, and the rotation takes at most sqrt(3)/2 of c^2 + h^2.
  const double da = y.a - x.a, db = y.b - x.b;
  const double widest = 1 + 0.0675 * (color.chroma + entry.chroma) / 2;
  if (0.1339 * (da * da + db * db) > budget * budget * widest * widest) return false;
  const double l = (y.L - x.L) / LightWeight((x.L + y.L) / 2);
  if (l * l > budget * budget) return false;
  const double g = 1.5 - 0.5 * ChromaShare((color.chroma + entry.chroma) / 2);
  const double xa = g * x.a, ya = g * y.a;
  const double xc = std::sqrt(xa * xa + x.b * x.b), yc = std::sqrt(ya * ya + y.b * y.b);
  const double meanC = (xc + yc) / 2;
  const double c = (yc - xc) / (1 + 0.045 * meanC);
  const double hue2 = (ya - xa) * (ya - xa) + (y.b - x.b) * (y.b - x.b) - (yc - xc) * (yc - xc);
  const double hue = std::sqrt(std::max(0.0, hue2));
  const double lowH = hue / (1 + 0.015 * meanC * 1.58), highH = hue / (1 + 0.015 * meanC * 0.36);
  const double k = 2 * ChromaShare(meanC) * 0.8660254 * std::abs(c);
  const double h = std::clamp(k / 2, lowH, highH);
  return l * l + c * c + h * h - k * h <= budget * budget + 1e-9;
}

// The difference when it is within budget, else a negative number.
double DifferenceWithin(const ColorLab& color, const EntryLab& entry, double budget) {
  if (!MayBeWithin(color, entry, budget)) return -1;
  const double difference = Ciede2000(color.lab, entry.lab);
  return difference + kMargin <= budget ? difference : -1;
}

ColorLab ColorLabOf(const LabFloat& lab) {
  const Lab value = lab.ToLab();
  return {value, std::sqrt(value.a * value.a + value.b * value.b)};
}

EntryLab EntryLabOf(ColorValue color, int index) {
  const Lab lab = LabFromColor(color);
  return {lab, std::sqrt(lab.a * lab.a + lab.b * lab.b), index};
}

AllowedColor Describe(const LabFloat& lab) {
  AllowedColor color;
  color.L = lab.L;
  color.a = lab.a;
  color.b = lab.b;
  const double sl = LightWeight(lab.L);
  const double sc = 1 + 0.045 * std::sqrt(double(lab.a) * lab.a + double(lab.b) * lab.b);
  color.lightWeight = float(1 / (sl * sl));
  color.chromaWeight = float(1 / (sc * sc));
  return color;
}

// The lists of a run of colours, made on one thread.
struct Lists {
  std::vector<std::uint32_t> count;
  std::vector<std::uint8_t> entry;
  std::vector<float> loss;
  void Add(int index, float difference) {
    entry.push_back(static_cast<std::uint8_t>(index));
    loss.push_back(difference);
  }
};

// Builds every colour's list with `build(colour, lists)`, in parts on several threads, and puts
// them together into `allowed`. False when `stop` became true.
template <typename Build>
bool BuildLists(size_t n, int threads, const std::atomic<bool>* stop, AllowedEntries& allowed,
                Build build) {
  const size_t parts = threads > 0 ? size_t(threads) : ThreadsFor(n, 20000);
  std::vector<Lists> lists(parts);
  ForEachIndex(parts, parts, [&](size_t p) {
    for (size_t i = n * p / parts; i < n * (p + 1) / parts; ++i) {
      if (stop && (i & 4095) == 0 && stop->load(std::memory_order_relaxed)) return;
      const size_t before = lists[p].entry.size();
      build(i, lists[p]);
      lists[p].count.push_back(static_cast<std::uint32_t>(lists[p].entry.size() - before));
    }
  });
  if (stop && stop->load()) return false;
  size_t total = 0;
  for (const Lists& part : lists) total += part.entry.size();
  std::vector<std::uint8_t> entry;
  std::vector<float> loss;
  entry.reserve(total);
  loss.reserve(total);
  size_t i = 0;
  for (const Lists& part : lists) {
    auto at = static_cast<std::uint32_t>(entry.size());
    for (std::uint32_t count : part.count) {
      AllowedColor& color = allowed.color[i++];
      color.first = at;
      color.count = static_cast<std::uint16_t>(count);
      color.nearest = part.entry[at - entry.size()];
      color.nearestLoss = part.loss[at - entry.size()];
      at += count;
    }
    entry.insert(entry.end(), part.entry.begin(), part.entry.end());
    loss.insert(loss.end(), part.loss.begin(), part.loss.end());
  }
  allowed.entry = std::move(entry);
  allowed.loss = std::move(loss);
  return true;
}

}  // namespace

bool FindAllowedEntries(const PictureColors& colors, const std::vector<ColorValue>& entries,
                        const std::vector<std::uint8_t>& nearest,
                        const std::vector<float>& nearestLoss, double budget,
                        AllowedEntries& allowed, int threads, const std::atomic<bool>* stop) {
  const size_t n = colors.Distinct();
  std::vector<EntryLab> byLightness;
  for (size_t k = 0; k < entries.size(); ++k)
    byLightness.push_back(EntryLabOf(entries[k], static_cast<int>(k)));
  std::sort(byLightness.begin(), byLightness.end(),
            [](const EntryLab& x, const EntryLab& y) { return x.lab.L < y.lab.L; });
  allowed.budget = budget;
  allowed.color.resize(n);
  for (size_t i = 0; i < n; ++i) allowed.color[i] = Describe(colors.lab[i]);
  const double reach = kMostLightWeight * budget;
  return BuildLists(n, threads, stop, allowed, [&](size_t i, Lists& out) {
    thread_local std::vector<std::pair<int, float>> within;
    within.clear();
    const ColorLab color = ColorLabOf(colors.lab[i]);
    out.Add(nearest[i], nearestLoss[i]);
    auto at = std::lower_bound(byLightness.begin(), byLightness.end(), color.lab.L - reach,
                               [](const EntryLab& e, double l) { return e.lab.L < l; });
    for (; at != byLightness.end() && at->lab.L <= color.lab.L + reach; ++at) {
      if (at->index == nearest[i]) continue;
      const double difference = DifferenceWithin(color, *at, budget);
      if (difference >= 0) within.emplace_back(at->index, float(difference));
    }
    std::sort(within.begin(), within.end());
    for (const auto& [index, difference] : within) out.Add(index, difference);
  });
}

bool UpdateAllowedEntries(const PictureColors& colors, const std::vector<ColorValue>& before,
                          const std::vector<ColorValue>& after,
                          const std::vector<std::uint8_t>& nearest,
                          const std::vector<float>& nearestLoss, AllowedEntries& allowed,
                          int maxChanged) {
  const size_t n = colors.Distinct();
  if (before.size() != after.size() || allowed.color.size() != n || nearest.size() != n)
    return false;
  std::vector<EntryLab> changed;
  std::array<bool, 256> isChanged{};
  for (size_t k = 0; k < after.size(); ++k) {
    if (before[k] == after[k]) continue;
    if (static_cast<int>(changed.size()) == maxChanged) return false;
    changed.push_back(EntryLabOf(after[k], static_cast<int>(k)));
    isChanged[k] = true;
  }
  // The lists are rebuilt from the old ones; the colours' places in them are only rewritten once
  // every list is made.
  const std::vector<std::uint8_t> oldEntry = std::move(allowed.entry);
  const std::vector<float> oldLoss = std::move(allowed.loss);
  const double budget = allowed.budget;
  return BuildLists(n, 1, nullptr, allowed, [&](size_t i, Lists& out) {
    thread_local std::vector<std::pair<int, float>> kept;
    kept.clear();
    const AllowedColor& was = allowed.color[i];
    out.Add(nearest[i], nearestLoss[i]);
    for (std::uint32_t k = was.first; k < was.first + was.count; ++k) {
      const int index = oldEntry[k];
      const bool withinBudget = k > was.first || double(oldLoss[k]) + kMargin <= budget;
      if (index != nearest[i] && !isChanged[size_t(index)] && withinBudget)
        kept.emplace_back(index, oldLoss[k]);
    }
    const ColorLab color = ColorLabOf(colors.lab[i]);
    for (const EntryLab& entry : changed) {
      if (entry.index == nearest[i]) continue;
      const double difference = DifferenceWithin(color, entry, budget);
      if (difference >= 0) kept.emplace_back(entry.index, float(difference));
    }
    std::sort(kept.begin(), kept.end());
    for (const auto& [index, difference] : kept) out.Add(index, difference);
  });
}

void KeepTransparentEntry(const PictureColors& colors, const OpaqueEntries& opaque, int transparent,
                          ColorValue transparentColor, AllowedEntries& allowed) {
  for (std::uint8_t& entry : allowed.entry) entry = opaque.positions[entry];
  const Lab lab = LabFromColor(transparentColor);
  for (size_t i = 0; i < allowed.color.size(); ++i) {
    AllowedColor& color = allowed.color[i];
    color.nearest = opaque.positions[color.nearest];
    if (!colors.IsClear(i)) continue;
    color.L = float(lab.L);
    color.a = float(lab.a);
    color.b = float(lab.b);
    color.count = 1;
    color.nearest = static_cast<std::uint8_t>(transparent);
    color.nearestLoss = 0;
    allowed.entry[color.first] = static_cast<std::uint8_t>(transparent);
    allowed.loss[color.first] = 0;
  }
}

}  // namespace tavlo
