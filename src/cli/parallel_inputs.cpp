#include "cli/parallel_inputs.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace tavlo::cli {

void ForEachInput(int count, int jobs, const InputCallbacks& callbacks) {
  const int workers = std::clamp(jobs, 1, std::max(count, 1));
  std::atomic<int> next{0};
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<int> done;  // finished inputs not yet reported

  std::vector<std::jthread> threads;
  threads.reserve(static_cast<size_t>(workers));
  for (int w = 0; w < workers; ++w) {
    threads.emplace_back([&] {
      for (int i = next++; i < count; i = next++) {
        callbacks.work(i);
        const std::lock_guard lock(mutex);
        done.push_back(i);
        changed.notify_one();
      }
    });
  }

  std::vector<bool> isDone(static_cast<size_t>(count), false);
  int reported = 0;
  for (int finishedCount = 0; finishedCount < count; ++finishedCount) {
    int i;
    {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return !done.empty(); });
      i = done.front();
      done.pop_front();
    }
    if (callbacks.finished) callbacks.finished(i);
    isDone[static_cast<size_t>(i)] = true;
    while (reported < count && isDone[static_cast<size_t>(reported)]) {
      if (callbacks.inOrder) callbacks.inOrder(reported);
      ++reported;
    }
  }
}

int ThreadsPerInput(int count, int jobs) {
  if (count <= 0) return 1;
  return std::max(1, jobs / std::min(count, std::max(jobs, 1)));
}

}  // namespace tavlo::cli
