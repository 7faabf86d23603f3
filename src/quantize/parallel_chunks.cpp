#include "quantize/parallel_chunks.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace tavlo::quantize {
namespace {

int WorkerCount(int threads, std::size_t chunks) {
  threads = ThreadsToUse(threads);
  return static_cast<int>(std::clamp<std::size_t>(static_cast<std::size_t>(std::max(threads, 1)), 1,
                                                  std::max<std::size_t>(chunks, 1)));
}

}  // namespace

int ThreadsToUse(int threads) {
  if (threads > 0) return threads;
  return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
}

void ForEachChunk(std::size_t items, int threads,
                  const std::function<void(std::size_t, std::size_t, std::size_t)>& work,
                  std::size_t chunkSize, StopFlag stop) {
  const std::size_t chunks = ChunkCount(items, chunkSize);
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  std::atomic<bool> failed{false};
  auto run = [&] {
    try {
      for (std::size_t chunk; (chunk = next.fetch_add(1)) < chunks && !failed;) {
        ThrowIfStopped(stop);
        const std::size_t begin = chunk * chunkSize;
        work(chunk, begin, std::min(items, begin + chunkSize));
      }
    } catch (...) {
      if (!failed.exchange(true)) failure = std::current_exception();
    }
  };
  std::vector<std::thread> helpers;
  for (int i = 1; i < WorkerCount(threads, chunks); ++i) {
    try {
      helpers.emplace_back(run);
    } catch (...) {
      break;  // no more threads to be had: the running ones take the remaining chunks
    }
  }
  run();
  for (auto& helper : helpers) helper.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace tavlo::quantize
