// Progress lines and the order of reports when many inputs are worked on at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <numeric>
#include <thread>

#include "cli/parallel_inputs.h"
#include "cli/progress.h"

namespace tavlo::testing {
namespace {

TEST(ProgressLine, CountsAndEstimatesOnlyForMoreThanAFewInputs) {
  EXPECT_EQ(cli::ProgressLine(2, 3, 5000, "b.png"), "b.png");
  EXPECT_EQ(cli::ProgressLine(1, 4, 2000, "a.png"), "[1/4] a.png (6 s left)");
  EXPECT_EQ(cli::ProgressLine(7, 100, 7000, "g.png"), "[  7/100] g.png (1:33 left)");
  EXPECT_EQ(cli::ProgressLine(1, 1000, 10000, "x"), "[   1/1000] x (2:46:30 left)");
  EXPECT_EQ(cli::ProgressLine(4, 4, 9000, "d.png"), "[4/4] d.png");
}

TEST(Progress, IsWrittenOnlyToATerminalAndNotWhenQuiet) {
  for (const bool terminal : {false, true}) {
    for (const bool quiet : {false, true}) {
      QString out, err;
      QTextStream outStream(&out), errStream(&err);
      cli::CliIo io{outStream, errStream, terminal};
      cli::Progress progress(io, 2, quiet);
      progress.Finished("a.png");
      progress.Finished("b.png");
      errStream.flush();
      EXPECT_EQ(err, terminal && !quiet ? "a.png\nb.png\n" : "") << terminal << quiet;
      EXPECT_TRUE(out.isEmpty());
    }
  }
}

TEST(ForEachInput, ReportsInInputOrderHoweverTheInputsFinish) {
  for (const int jobs : {1, 3, 8, 50}) {
    constexpr int kCount = 20;
    std::vector<std::atomic<int>> runs(kCount);
    std::vector<int> finished, inOrder;
    const auto mainThread = std::this_thread::get_id();
    bool reportsOnMainThread = true;
    cli::ForEachInput(
        kCount, jobs,
        {.work =
             [&](int i) {
               // Later inputs finish first.
               std::this_thread::sleep_for(std::chrono::microseconds((kCount - i) * 200));
               ++runs[size_t(i)];
             },
         .finished =
             [&](int i) {
               reportsOnMainThread &= std::this_thread::get_id() == mainThread;
               finished.push_back(i);
             },
         .inOrder =
             [&](int i) {
               reportsOnMainThread &= std::this_thread::get_id() == mainThread;
               // Every input reported in order has finished.
               EXPECT_NE(std::find(finished.begin(), finished.end(), i), finished.end());
               inOrder.push_back(i);
             }});
    std::vector<int> expected(kCount);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(inOrder, expected) << jobs;
    std::sort(finished.begin(), finished.end());
    EXPECT_EQ(finished, expected) << jobs;
    for (int i = 0; i < kCount; ++i) EXPECT_EQ(runs[size_t(i)], 1);
    EXPECT_TRUE(reportsOnMainThread);
  }
}

TEST(ForEachInput, LendsIdleProcessorsToTheInputs) {
  EXPECT_EQ(cli::ThreadsPerInput(100, 4), 1);
  EXPECT_EQ(cli::ThreadsPerInput(1, 4), 4);
  EXPECT_EQ(cli::ThreadsPerInput(2, 5), 2);
  EXPECT_EQ(cli::ThreadsPerInput(0, 4), 1);
  cli::ForEachInput(0, 4, {.work = [](int) { FAIL(); }});
}

}  // namespace
}  // namespace tavlo::testing
