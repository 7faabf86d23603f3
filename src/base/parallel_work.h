#pragma once
// Running independent pieces of work on every core without a thread pool.
#include <algorithm>
#include <cstddef>
#include <exception>
#include <thread>
#include <vector>

namespace tavlo {

// Runs task(0) .. task(count - 1), on threads where they can be had, else one after another on
// the calling thread, and returns when all have ended. An exception of a task (std::bad_alloc)
// is thrown again once all have ended.
template <typename Task>
void RunTasks(size_t count, Task task) {
  std::vector<std::thread> helpers;
  std::vector<std::exception_ptr> failures(count);
  auto guarded = [&](size_t i) {
    try {
      task(i);
    } catch (...) {
      failures[i] = std::current_exception();
    }
  };
  size_t started = 1;
  for (; started < count; ++started) {
    try {
      helpers.emplace_back(guarded, started);
    } catch (...) {
      break;  // no more threads to be had
    }
  }
  if (count > 0) guarded(0);
  for (size_t i = started; i < count; ++i) guarded(i);
  for (auto& helper : helpers) helper.join();
  for (const auto& failure : failures)
    if (failure) std::rethrow_exception(failure);
}

// Runs part(begin, end) over `parts` consecutive pieces of [0, count) with RunTasks.
template <typename Part>
void RunInParts(size_t count, size_t parts, Part part) {
  if (parts == 0) parts = 1;
  RunTasks(parts, [&](size_t p) { part(count * p / parts, count * (p + 1) / parts); });
}

// Threads for `work` units at `perThread` units each: at least 1, at most the processors (and 8).
inline size_t ThreadsFor(size_t work, size_t perThread) {
  const auto processors = static_cast<size_t>(std::max(1u, std::thread::hardware_concurrency()));
  const size_t wanted = work / perThread;
  return wanted < 1 ? 1 : wanted > processors ? processors : wanted > 8 ? 8 : wanted;
}

}  // namespace tavlo
