#pragma once
// Work spread over several threads, and the one rule for how many: every parallel loop of the
// program starts its threads through RunOnThreads. A header alone, so that the colour library (a
// shared library of its own) runs its loops as the rest of the program does.
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <exception>
#include <thread>
#include <vector>

namespace tavlo {

namespace parallel_detail {

// The whole number from 1 to 256 in the environment variable TAVLO_THREADS, or 0.
inline std::size_t ThreadsAsked() {
  static const std::size_t asked = [] {
    const char* text = std::getenv("TAVLO_THREADS");
    if (!text) return std::size_t{0};
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && n >= 1 && n <= 256 ? static_cast<std::size_t>(n) : 0;
  }();
  return asked;
}

}  // namespace parallel_detail

// The threads the program keeps busy at once: TAVLO_THREADS when it holds a whole number from 1
// to 256, else the processors this process may run on (a container or taskset may allow fewer
// than the machine has).
inline std::size_t Processors() {
  static const std::size_t processors = [] {
    if (const std::size_t asked = parallel_detail::ThreadsAsked()) return asked;
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (::sched_getaffinity(0, sizeof allowed, &allowed) == 0 && CPU_COUNT(&allowed) > 0)
      return static_cast<std::size_t>(CPU_COUNT(&allowed));
    return static_cast<std::size_t>(std::max(1u, std::thread::hardware_concurrency()));
  }();
  return processors;
}

// Threads for one piece of `work` units at `perThread` units each or more: from 1 to the
// processors, at most 8 unless TAVLO_THREADS asks for more (each thread costs memory of its own,
// and the loops gain little beyond 8).
inline std::size_t ThreadsFor(std::size_t work, std::size_t perThread = 1) {
  const std::size_t most =
      parallel_detail::ThreadsAsked() ? Processors() : std::min<std::size_t>(Processors(), 8);
  return std::clamp<std::size_t>(work / std::max<std::size_t>(perThread, 1), 1, most);
}

// Runs worker() once on each of `threads` threads, the calling one among them, and returns when
// all have ended, with the number that ran: fewer when no more threads can be had, so workers
// take their work from what is left rather than by their number. The first exception of a
// worker (std::bad_alloc) is thrown again once all have ended.
template <typename Worker>
std::size_t RunOnThreads(std::size_t threads, Worker&& worker) {
  std::exception_ptr failure;
  std::atomic<bool> failed{false};
  auto guarded = [&]() noexcept {
    try {
      worker();
    } catch (...) {
      if (!failed.exchange(true)) failure = std::current_exception();
    }
  };
  std::vector<std::thread> helpers;
  try {
    helpers.reserve(threads > 1 ? threads - 1 : 0);
    while (helpers.size() + 1 < threads) helpers.emplace_back(guarded);
  } catch (...) {
    // no more threads to be had: the ones running take the rest
  }
  guarded();
  for (auto& helper : helpers) helper.join();
  if (failure) std::rethrow_exception(failure);
  return helpers.size() + 1;
}

// Runs work(i) for every i in [0, count) on up to `threads` threads (0: ThreadsFor(count)), each
// thread taking the next i not yet taken, so which thread runs which i varies: results that must
// not depend on the number of threads are kept apart by i. After an exception no further i is
// started, and it is thrown again once the running ones have ended.
template <typename Work>
void ForEachIndex(std::size_t count, std::size_t threads, Work&& work) {
  if (count == 0) return;
  std::atomic<std::size_t> next{0};
  std::atomic<bool> stop{false};
  RunOnThreads(std::min(threads > 0 ? threads : ThreadsFor(count), count), [&] {
    try {
      for (std::size_t i; !stop.load(std::memory_order_relaxed) && (i = next++) < count;) work(i);
    } catch (...) {
      stop = true;
      throw;
    }
  });
}

// Runs part(begin, end) over `parts` consecutive pieces of [0, count), a thread for each piece.
template <typename Part>
void RunInParts(std::size_t count, std::size_t parts, Part&& part) {
  parts = std::max<std::size_t>(parts, 1);
  ForEachIndex(parts, parts,
               [&](std::size_t p) { part(count * p / parts, count * (p + 1) / parts); });
}

}  // namespace tavlo
