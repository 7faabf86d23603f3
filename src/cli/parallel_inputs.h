#pragma once
// Working on many inputs at once while reporting as if one after the other: `work` runs on
// worker threads, each input on one of them; `finished` and `inOrder` run on the calling thread,
// so only it writes to the streams, and what `inOrder` writes is the same for any number of jobs.
#include <functional>

namespace tavlo::cli {

struct InputCallbacks {
  // Does input i; runs on a worker thread, must not throw, and keeps its result for the others.
  std::function<void(int)> work = {};
  // Input i is done (in the order inputs finish).
  std::function<void(int)> finished = {};
  // Input i and every input before it are done (in input order).
  std::function<void(int)> inOrder = {};
};

// Works on inputs 0 to count - 1 with at most `jobs` at once, and returns when all are done.
void ForEachInput(int count, int jobs, const InputCallbacks& callbacks);

// The threads each input may use inside itself when `jobs` inputs of `count` run at once: the
// processors that would stay idle otherwise. At least 1.
int ThreadsPerInput(int count, int jobs);

}  // namespace tavlo::cli
