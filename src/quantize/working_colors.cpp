#include "quantize/working_colors.h"

#include <algorithm>

#include "quantize/parallel_chunks.h"

namespace tavlo::quantize {
std::vector<ColorCount> CanonicalHistogram(std::vector<ColorCount> histogram) {
  std::sort(histogram.begin(), histogram.end(),
            [](const ColorCount& x, const ColorCount& y) { return x.color < y.color; });
  std::vector<ColorCount> merged;
  for (const ColorCount& c : histogram) {
    if (!merged.empty() && merged.back().color == c.color)
      merged.back().count += c.count;
    else
      merged.push_back(c);
  }
  return merged;
}

bool IsCanonicalHistogram(const std::vector<ColorCount>& histogram) {
  return std::adjacent_find(histogram.begin(), histogram.end(),
                            [](const ColorCount& x, const ColorCount& y) {
                              return x.color >= y.color;
                            }) == histogram.end();
}

WorkingColors MakeWorkingColors(const std::vector<ColorCount>& unordered, int threads,
                                StopFlag stop) {
  if (!IsCanonicalHistogram(unordered))
    return MakeWorkingColors(CanonicalHistogram(unordered), threads, stop);
  const std::vector<ColorCount>& histogram = unordered;
  WorkingColors set;
  const std::size_t n = histogram.size();
  set.L.resize(n);
  set.a.resize(n);
  set.b.resize(n);
  set.weight.resize(n);
  set.count.resize(n);
  set.color.resize(n);
  set.lab.resize(n);
  ForEachChunk(
      n, threads,
      [&](std::size_t, std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
          const ColorValue c = histogram[i].color;
          set.lab[i] = LabFromColor(c);
          const Point p = PointOfLab(set.lab[i]);
          set.L[i] = p.L;
          set.a[i] = p.a;
          set.b[i] = p.b;
          set.weight[i] = static_cast<float>(histogram[i].count);
          set.count[i] = histogram[i].count;
          set.color[i] = c;
        }
      },
      kChunkSize, stop);
  for (const ColorCount& c : histogram) set.totalWeight += c.count;
  return set;
}

}  // namespace tavlo::quantize
