#include "quantize/rgb_nearest.h"

#include <algorithm>
#include <climits>

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

}  // namespace tavlo::quantize
