#include "quantize/working_colours.h"

#include <algorithm>

#include "quantize/parallel_chunks.h"

namespace tavlo::quantize {
std::vector<ColourCount> CanonicalHistogram(std::vector<ColourCount> histogram) {
  std::sort(histogram.begin(), histogram.end(),
            [](const ColourCount& x, const ColourCount& y) { return x.colour < y.colour; });
  std::vector<ColourCount> merged;
  for (const ColourCount& c : histogram) {
    if (!merged.empty() && merged.back().colour == c.colour)
      merged.back().count += c.count;
    else
      merged.push_back(c);
  }
  return merged;
}

bool IsCanonicalHistogram(const std::vector<ColourCount>& histogram) {
  return std::adjacent_find(histogram.begin(), histogram.end(),
                            [](const ColourCount& x, const ColourCount& y) {
                              return x.colour >= y.colour;
                            }) == histogram.end();
}

WorkingColours MakeWorkingColours(const std::vector<ColourCount>& unordered, int threads,
                                  StopFlag stop) {
  if (!IsCanonicalHistogram(unordered))
    return MakeWorkingColours(CanonicalHistogram(unordered), threads, stop);
  const std::vector<ColourCount>& histogram = unordered;
  WorkingColours set;
  const std::size_t n = histogram.size();
  set.L.resize(n);
  set.a.resize(n);
  set.b.resize(n);
  set.weight.resize(n);
  set.count.resize(n);
  set.colour.resize(n);
  set.lab.resize(n);
  ForEachChunk(
      n, threads,
      [&](std::size_t, std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
          const ColorValue c = histogram[i].colour;
          set.lab[i] = LabFromColor(c);
          const Point p = PointOfLab(set.lab[i]);
          set.L[i] = p.L;
          set.a[i] = p.a;
          set.b[i] = p.b;
          set.weight[i] = static_cast<float>(histogram[i].count);
          set.count[i] = histogram[i].count;
          set.colour[i] = c;
        }
      },
      kChunkSize, stop);
  for (const ColourCount& c : histogram) set.totalWeight += c.count;
  return set;
}

}  // namespace tavlo::quantize
