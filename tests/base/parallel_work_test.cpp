// The one way the program runs work on several threads: every index once, whatever the number
// of threads, and a failure carried back to the caller.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

#include "base/parallel_work.h"

namespace tavlo::testing {
namespace {

TEST(ForEachIndex, RunsEveryIndexOnceForAnyNumberOfThreads) {
  for (std::size_t count : {0u, 1u, 2u, 7u, 1000u}) {
    for (std::size_t threads : {0u, 1u, 3u, 64u}) {
      std::vector<std::atomic<int>> runs(count);
      ForEachIndex(count, threads, [&](std::size_t i) { ++runs[i]; });
      for (std::size_t i = 0; i < count; ++i)
        ASSERT_EQ(runs[i], 1) << "index " << i << " of " << count << ", " << threads << " threads";
    }
  }
  std::vector<std::atomic<int>> covered(10);
  RunInParts(10, 4, [&](std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) ++covered[i];
  });
  for (const auto& c : covered) EXPECT_EQ(c, 1);
}

TEST(ForEachIndex, AFailureIsThrownAgainOnceTheThreadsHaveEnded) {
  std::atomic<int> running{0};
  EXPECT_THROW(ForEachIndex(100, 4,
                            [&](std::size_t i) {
                              ++running;
                              if (i == 3) throw std::runtime_error("index 3");
                              --running;
                            }),
               std::runtime_error);
  EXPECT_EQ(running, 1);  // only the failed index is left counted: the others have ended
  EXPECT_EQ(RunOnThreads(3, [] {}), 3u);
  EXPECT_GE(ThreadsFor(1000, 1), 1u);
  EXPECT_EQ(ThreadsFor(5, 10), 1u);
}

}  // namespace
}  // namespace tavlo::testing
