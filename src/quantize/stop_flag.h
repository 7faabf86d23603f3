#pragma once
// Long work of the quantizer and of the range operations stops when asked: it looks at a flag
// that the caller sets (the busy box's Cancel) between steps of a few milliseconds each, and
// ends by throwing WorkStopped; what it was computing is dropped.
#include <atomic>
#include <exception>

namespace tavlo {

struct WorkStopped : std::exception {
  const char* what() const noexcept override { return "the work was stopped"; }
};

// nullptr: never stops.
using StopFlag = const std::atomic<bool>*;

inline void ThrowIfStopped(StopFlag stop) {
  if (stop && stop->load(std::memory_order_relaxed)) throw WorkStopped();
}

}  // namespace tavlo
