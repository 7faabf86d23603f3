#include "quantize/rgb_nearest.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "quantize/parallel_chunks.h"

// The plain loop below over a block of colours becomes vector code; on x86-64 it gets an AVX2
// copy as well, chosen when the program starts.
#if defined(__x86_64__) && defined(__GNUC__)
#define TAVLO_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define TAVLO_VECTOR_CLONES
#endif

namespace tavlo::quantize {
namespace {

constexpr int kLanes = 16;  // colours per block

// The smallest and second-smallest key of each of kLanes colours over all `count` entries, the
// key being squared distance * 256 + index: the smallest key is the rule's answer (ties to the
// lower index). A plain search over all entries, fast in vector code, and exact.
TAVLO_VECTOR_CLONES
void TwoNearestOfBlock(const std::int32_t* red, const std::int32_t* green, const std::int32_t* blue,
                       const std::int32_t* entryRed, const std::int32_t* entryGreen,
                       const std::int32_t* entryBlue, int count, std::int32_t* first,
                       std::int32_t* second) {
  std::int32_t m1[kLanes], m2[kLanes];
  for (int l = 0; l < kLanes; ++l) m1[l] = m2[l] = INT32_MAX;
  for (int j = 0; j < count; ++j) {
    const std::int32_t r = entryRed[j], g = entryGreen[j], b = entryBlue[j];
    for (int l = 0; l < kLanes; ++l) {
      const std::int32_t dr = red[l] - r, dg = green[l] - g, db = blue[l] - b;
      const std::int32_t key = ((dr * dr + dg * dg + db * db) << 8) | j;
      m2[l] = std::min(m2[l], std::max(m1[l], key));
      m1[l] = std::min(m1[l], key);
    }
  }
  for (int l = 0; l < kLanes; ++l) {
    first[l] = m1[l];
    second[l] = m2[l] == INT32_MAX ? m1[l] : m2[l];
  }
}

constexpr int kKept = 3;  // the two nearest and the bound of the rest

// The kKept smallest keys of each of kLanes colours, smallest first, over all `count` entries.
TAVLO_VECTOR_CLONES
void SmallestKeysOfBlock(const std::int32_t* red, const std::int32_t* green,
                         const std::int32_t* blue, const std::int32_t* entryRed,
                         const std::int32_t* entryGreen, const std::int32_t* entryBlue, int count,
                         std::int32_t (*smallest)[kLanes]) {
  std::int32_t m[kKept][kLanes];
  for (int t = 0; t < kKept; ++t)
    for (int l = 0; l < kLanes; ++l) m[t][l] = INT32_MAX;
  for (int j = 0; j < count; ++j) {
    const std::int32_t r = entryRed[j], g = entryGreen[j], b = entryBlue[j];
    for (int l = 0; l < kLanes; ++l) {
      const std::int32_t dr = red[l] - r, dg = green[l] - g, db = blue[l] - b;
      std::int32_t key = ((dr * dr + dg * dg + db * db) << 8) | j;
      for (int t = 0; t < kKept; ++t) {
        const std::int32_t low = std::min(m[t][l], key);
        key = std::max(m[t][l], key);
        m[t][l] = low;
      }
    }
  }
  for (int t = 0; t < kKept; ++t)
    for (int l = 0; l < kLanes; ++l) smallest[t][l] = m[t][l];
}

std::int32_t Distance2(ColorValue x, ColorValue y) {
  const std::int32_t dr = RedOf(x) - RedOf(y), dg = GreenOf(x) - GreenOf(y),
                     db = BlueOf(x) - BlueOf(y);
  return dr * dr + dg * dg + db * db;
}

float DistanceOfKey(std::int32_t key) {
  return key == INT32_MAX ? INFINITY : std::sqrt(static_cast<float>(key >> 8));
}

// Rounding of the bounds stays on the safe side by this much (RGB units).
constexpr float kSlack = 1e-3f;

}  // namespace

NearestEntries AssignNearestEntries(const std::vector<ColorValue>& colors,
                                    const std::vector<ColorValue>& palette, int threads) {
  const int count = static_cast<int>(std::min<std::size_t>(palette.size(), 256));
  std::int32_t er[256], eg[256], eb[256];
  for (int j = 0; j < count; ++j)
    er[j] = RedOf(palette[j]), eg[j] = GreenOf(palette[j]), eb[j] = BlueOf(palette[j]);
  NearestEntries out;
  const std::size_t n = colors.size();
  out.first.resize(n);
  out.second.resize(n);
  out.distance2.resize(n);
  out.secondDistance2.resize(n);
  if (count == 0) return out;
  ForEachChunk(n, threads, [&](std::size_t, std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; i += kLanes) {
      std::int32_t r[kLanes], g[kLanes], b[kLanes], f[kLanes], s[kLanes];
      const std::size_t lanes = std::min<std::size_t>(kLanes, end - i);
      for (std::size_t l = 0; l < kLanes; ++l) {
        const ColorValue c = colors[i + std::min(l, lanes - 1)];
        r[l] = RedOf(c), g[l] = GreenOf(c), b[l] = BlueOf(c);
      }
      TwoNearestOfBlock(r, g, b, er, eg, eb, count, f, s);
      for (std::size_t l = 0; l < lanes; ++l) {
        out.first[i + l] = static_cast<std::uint16_t>(f[l] & 0xFF);
        out.second[i + l] = static_cast<std::uint16_t>(s[l] & 0xFF);
        out.distance2[i + l] = f[l] >> 8;
        out.secondDistance2[i + l] = s[l] >> 8;
      }
    }
  });
  return out;
}

NearestTracker::NearestTracker(const std::vector<ColorValue>& colors, int threads)
    : colors_(colors), threads_(threads) {}

// For every entry, the entries that moved, by rising distance from it.
struct NearestTracker::MovedNear {
  std::size_t count = 0;
  std::vector<float> distance;
  std::vector<std::uint16_t> index;

  MovedNear(const std::vector<ColorValue>& palette, const std::vector<std::uint16_t>& moved)
      : count(moved.size()), distance(palette.size() * count), index(palette.size() * count) {
    std::vector<std::pair<float, std::uint16_t>> row(count);
    for (std::size_t e = 0; e < palette.size(); ++e) {
      for (std::size_t m = 0; m < count; ++m)
        row[m] = {std::sqrt(static_cast<float>(Distance2(palette[e], palette[moved[m]]))),
                  moved[m]};
      std::sort(row.begin(), row.end());
      for (std::size_t m = 0; m < count; ++m)
        distance[e * count + m] = row[m].first, index[e * count + m] = row[m].second;
    }
  }
};

bool NearestTracker::Renew(std::size_t i, const MovedNear& moved) {
  const ColorValue color = colors_[i];
  const std::uint16_t f = near_.first[i], s = near_.second[i];
  auto keyOf = [&](std::uint16_t e) { return (Distance2(color, palette_[e]) << 8) | e; };
  // The three smallest keys of the entries looked at.
  std::int32_t m1 = keyOf(f), m2 = keyOf(s), m3 = INT32_MAX;
  if (m2 < m1) std::swap(m1, m2);
  // Entries that did not move are no nearer than before; a moved entry q is at least
  // |f q| - |colour f| away, so only the moved entries near f can come nearer than the bound.
  const float bound = others_[i];
  const float reach = bound + std::sqrt(static_cast<float>(Distance2(color, palette_[f])));
  const float* distance = &moved.distance[f * moved.count];
  const std::uint16_t* index = &moved.index[f * moved.count];
  for (std::size_t m = 0; m < moved.count && distance[m] < reach + kSlack; ++m) {
    if (index[m] == f || index[m] == s) continue;
    std::int32_t key = keyOf(index[m]);
    if (key < m1) std::swap(key, m1);
    if (key < m2) std::swap(key, m2);
    m3 = std::min(m3, key);
  }
  if (!(DistanceOfKey(m2) < bound - kSlack)) return false;
  others_[i] = std::min(bound, DistanceOfKey(m3));
  near_.first[i] = static_cast<std::uint16_t>(m1 & 0xFF);
  near_.second[i] = static_cast<std::uint16_t>(m2 & 0xFF);
  near_.distance2[i] = m1 >> 8;
  near_.secondDistance2[i] = m2 >> 8;
  return true;
}

void NearestTracker::Keep(std::size_t i, const std::int32_t* keys) {
  const std::int32_t second = keys[1] == INT32_MAX ? keys[0] : keys[1];
  others_[i] = DistanceOfKey(keys[2]);
  near_.first[i] = static_cast<std::uint16_t>(keys[0] & 0xFF);
  near_.second[i] = static_cast<std::uint16_t>(second & 0xFF);
  near_.distance2[i] = keys[0] >> 8;
  near_.secondDistance2[i] = second >> 8;
}

const NearestEntries& NearestTracker::Assign(const std::vector<ColorValue>& palette) {
  const std::size_t n = colors_.size(), k = std::min<std::size_t>(palette.size(), 256);
  // With two entries or fewer, every colour is searched in full: that is just as quick.
  bool fresh = palette_.size() != k || k <= 2;
  std::vector<std::uint16_t> moved;
  for (std::size_t e = 0; !fresh && e < k; ++e)
    if (palette[e] != palette_[e]) moved.push_back(static_cast<std::uint16_t>(e));
  if (!fresh && moved.empty()) return near_;
  palette_.assign(palette.begin(), palette.begin() + static_cast<std::ptrdiff_t>(k));
  if (fresh) {
    others_.assign(n, 0);
    near_.first.resize(n), near_.second.resize(n);
    near_.distance2.resize(n), near_.secondDistance2.resize(n);
  }
  if (k == 0 || n == 0) return near_;
  const MovedNear movedNear(fresh ? std::vector<ColorValue>{} : palette_, moved);
  std::int32_t er[256], eg[256], eb[256];
  for (std::size_t j = 0; j < k; ++j)
    er[j] = RedOf(palette_[j]), eg[j] = GreenOf(palette_[j]), eb[j] = BlueOf(palette_[j]);
  ForEachChunk(n, threads_, [&](std::size_t, std::size_t begin, std::size_t end) {
    std::vector<std::uint32_t> searched;
    for (std::size_t i = begin; i < end; ++i)
      if (fresh || !Renew(i, movedNear)) searched.push_back(static_cast<std::uint32_t>(i));
    for (std::size_t s = 0; s < searched.size(); s += kLanes) {
      const std::size_t lanes = std::min<std::size_t>(kLanes, searched.size() - s);
      std::int32_t r[kLanes], g[kLanes], b[kLanes], smallest[kKept][kLanes];
      for (std::size_t l = 0; l < kLanes; ++l) {
        const ColorValue c = colors_[searched[s + std::min(l, lanes - 1)]];
        r[l] = RedOf(c), g[l] = GreenOf(c), b[l] = BlueOf(c);
      }
      SmallestKeysOfBlock(r, g, b, er, eg, eb, static_cast<int>(k), smallest);
      for (std::size_t l = 0; l < lanes; ++l) {
        std::int32_t keys[kKept];
        for (int t = 0; t < kKept; ++t) keys[t] = smallest[t][l];
        Keep(searched[s + l], keys);
      }
    }
  });
  return near_;
}

}  // namespace tavlo::quantize
