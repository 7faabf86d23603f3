#include "reduction/allowed_entries.h"

#include <algorithm>
#include <cmath>

#include "colour/ciede2000.h"
#include "colour/run_tasks.h"

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

double LightWeight(double meanL) {
  const double offset = (meanL - 50) * (meanL - 50);
  return 1 + 0.015 * offset / std::sqrt(20 + offset);
}

// A lower bound of CIEDE2000 that needs no angles: the hue rotation term takes at most
// sqrt(3)/2 of c^2 + h^2 away, c^2 + h^2 is at least the a'b' distance over S_C squared (S_H is
// never larger than S_C), a' differs at least as much as a, and C' is at most 1.5 C.
bool MayBeWithin(const Lab& colour, double chroma, const EntryLab& entry, double budget) {
  const double l = (colour.L - entry.lab.L) / LightWeight((colour.L + entry.lab.L) / 2);
  const double rest = budget * budget - l * l;
  if (rest < 0) return false;
  const double da = colour.a - entry.lab.a, db = colour.b - entry.lab.b;
  const double scale = 1 + 0.045 * 1.5 * (chroma + entry.chroma) / 2;
  return 0.1339 * (da * da + db * db) <= rest * scale * scale;
}

struct Lists {
  std::vector<float> lightWeight, chromaWeight;
  std::vector<std::uint32_t> count;
  std::vector<std::uint8_t> entry;
  std::vector<float> loss;
};

void FindPart(const PictureColours& colours, const std::vector<EntryLab>& byLightness,
              const std::vector<std::uint8_t>& nearest, const std::vector<float>& nearestLoss,
              double budget, size_t begin, size_t end, Lists& out, const std::atomic<bool>* stop) {
  const double reach = kMostLightWeight * budget;
  std::vector<std::pair<int, float>> found;
  for (size_t i = begin; i < end; ++i) {
    if (stop && (i & 4095) == 0 && stop->load(std::memory_order_relaxed)) return;
    const Lab colour = colours.lab[i].ToLab();
    const double chroma = std::sqrt(colour.a * colour.a + colour.b * colour.b);
    const double sl = LightWeight(colour.L), sc = 1 + 0.045 * chroma;
    out.lightWeight.push_back(float(1 / (sl * sl)));
    out.chromaWeight.push_back(float(1 / (sc * sc)));
    out.entry.push_back(nearest[i]);
    out.loss.push_back(nearestLoss[i]);
    found.clear();
    auto at = std::lower_bound(byLightness.begin(), byLightness.end(), colour.L - reach,
                               [](const EntryLab& e, double l) { return e.lab.L < l; });
    for (; at != byLightness.end() && at->lab.L <= colour.L + reach; ++at) {
      if (at->index == nearest[i] || !MayBeWithin(colour, chroma, *at, budget)) continue;
      const double difference = Ciede2000(colour, at->lab);
      if (difference + kMargin <= budget) found.emplace_back(at->index, float(difference));
    }
    std::sort(found.begin(), found.end());
    for (const auto& [index, difference] : found) {
      out.entry.push_back(static_cast<std::uint8_t>(index));
      out.loss.push_back(difference);
    }
    out.count.push_back(static_cast<std::uint32_t>(found.size() + 1));
  }
}

}  // namespace

bool FindAllowedEntries(const PictureColours& colours, const std::vector<ColorValue>& entries,
                        const std::vector<std::uint8_t>& nearest,
                        const std::vector<float>& nearestLoss, double budget,
                        AllowedEntries& allowed, int threads, const std::atomic<bool>* stop) {
  const size_t n = colours.Distinct();
  std::vector<EntryLab> byLightness(entries.size());
  for (size_t k = 0; k < entries.size(); ++k) {
    const Lab lab = LabFromColor(entries[k]);
    byLightness[k] = {lab, std::hypot(lab.a, lab.b), static_cast<int>(k)};
  }
  std::sort(byLightness.begin(), byLightness.end(),
            [](const EntryLab& x, const EntryLab& y) { return x.lab.L < y.lab.L; });
  const size_t parts = threads > 0 ? size_t(threads) : ThreadsFor(n, 20000);
  std::vector<Lists> lists(parts);
  RunTasks(parts, [&](size_t p) {
    FindPart(colours, byLightness, nearest, nearestLoss, budget, n * p / parts, n * (p + 1) / parts,
             lists[p], stop);
  });
  if (stop && stop->load()) return false;

  allowed.budget = budget;
  allowed.start.assign(1, 0);
  allowed.start.reserve(n + 1);
  allowed.entry.clear();
  allowed.loss.clear();
  allowed.lightWeight.clear();
  allowed.chromaWeight.clear();
  for (const Lists& part : lists) {
    allowed.lightWeight.insert(allowed.lightWeight.end(), part.lightWeight.begin(),
                               part.lightWeight.end());
    allowed.chromaWeight.insert(allowed.chromaWeight.end(), part.chromaWeight.begin(),
                                part.chromaWeight.end());
    for (std::uint32_t count : part.count) allowed.start.push_back(allowed.start.back() + count);
    allowed.entry.insert(allowed.entry.end(), part.entry.begin(), part.entry.end());
    allowed.loss.insert(allowed.loss.end(), part.loss.begin(), part.loss.end());
  }
  return true;
}

}  // namespace tavlo
