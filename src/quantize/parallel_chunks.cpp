#include "quantize/parallel_chunks.h"

#include <algorithm>
#include <cstdint>

#include "base/parallel_work.h"

namespace tavlo::quantize {

int ThreadsToUse(int threads) {
  return threads > 0 ? threads : static_cast<int>(ThreadsFor(SIZE_MAX));
}

void ForEachChunk(std::size_t items, int threads,
                  const std::function<void(std::size_t, std::size_t, std::size_t)>& work,
                  std::size_t chunkSize, StopFlag stop) {
  ForEachIndex(ChunkCount(items, chunkSize), static_cast<std::size_t>(std::max(threads, 0)),
               [&](std::size_t chunk) {
                 ThrowIfStopped(stop);
                 const std::size_t begin = chunk * chunkSize;
                 work(chunk, begin, std::min(items, begin + chunkSize));
               });
}

}  // namespace tavlo::quantize
