#pragma once
// Work over many items spread on threads so that the result never depends on how many threads
// ran: the items are cut into chunks of a fixed size, each chunk's results are kept apart, and
// the caller combines them in chunk order.
#include <cstddef>
#include <functional>

#include "quantize/stop_flag.h"

namespace tavlo::quantize {

inline constexpr std::size_t kChunkSize = 4096;

inline std::size_t ChunkCount(std::size_t items, std::size_t chunkSize = kChunkSize) {
  return (items + chunkSize - 1) / chunkSize;
}

// The number of threads `threads` stands for: 0 is the most that ThreadsFor gives.
int ThreadsToUse(int threads);

// Runs work(chunk, begin, end) once for every chunk [begin, end) of [0, items), on up to
// `threads` threads (0: as ThreadsFor chooses). Which thread takes which chunk varies. With
// `stop` set, no further chunk starts and WorkStopped is thrown.
void ForEachChunk(
    std::size_t items, int threads,
    const std::function<void(std::size_t chunk, std::size_t begin, std::size_t end)>& work,
    std::size_t chunkSize = kChunkSize, StopFlag stop = nullptr);

}  // namespace tavlo::quantize
