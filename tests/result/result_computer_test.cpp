// The background computation of the result figures with a deliberately slow worker: figures of
// an older request never come out, bursts of requests cost one job, a running job for an older
// request is told to stop, and the user-interface thread never waits.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include "reduction/from_image.h"
#include "result/result_computer.h"
#include "slow_worker.h"

namespace tavlo::testing {
namespace {

QImage Picture() {
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(Qt::red);
  return image;
}

TEST(ResultComputer, FiguresOfAnOlderPaletteNeverComeOut) {
  SlowWorker worker;
  ResultComputer computer(nullptr, worker.Function());
  computer.SetCoalesceDelay(0);
  QSignalSpy ready(&computer, &ResultComputer::Ready);
  QSignalSpy outdated(&computer, &ResultComputer::Outdated);

  computer.Request(Picture(), {1});
  ASSERT_TRUE(worker.WaitForStarts(1));
  computer.Request(Picture(), {2});  // the palette changed while job 1 runs
  EXPECT_EQ(outdated.count(), 2);
  EXPECT_FALSE(computer.Current());

  worker.ReleaseOne();  // job 1 ends: its figures are stale
  ASSERT_TRUE(worker.WaitForStarts(2));
  QApplication::processEvents();
  EXPECT_EQ(ready.count(), 0);
  EXPECT_FALSE(computer.Current());
  EXPECT_TRUE(computer.Pending());

  worker.ReleaseOne();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ready.count() == 1; }));
  EXPECT_EQ(ready[0][0].value<ResultFigures>().rangeSize, 2);
  ASSERT_TRUE(computer.Current());
  EXPECT_EQ(computer.Current()->rangeSize, 2);
  EXPECT_EQ(worker.Started(), (std::vector<int>{1, 2}));
  EXPECT_EQ(worker.Stopped(), (std::vector<bool>{true, false}));
  EXPECT_FALSE(computer.Pending());
}

// The figures come first; their visible loss follows in a job of its own, the same as worked
// out in one go.
TEST(ResultComputer, TheVisibleLossFollowsTheFigures) {
  QImage picture(64, 48, QImage::Format_RGB32);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) picture.setPixel(x, y, qRgb(x * 4, y * 5, (x ^ y) * 4));
  const std::vector<ColorValue> entries = {0x000000, 0x808080, 0xFFFFFF, 0x2040C0};
  ResultComputer computer;
  computer.SetCoalesceDelay(0);
  std::vector<bool> visibleWithFigures;
  QObject::connect(&computer, &ResultComputer::Ready, [&](const ResultFigures& figures) {
    visibleWithFigures.push_back(!figures.visibleLoss.empty());
  });
  QSignalSpy visible(&computer, &ResultComputer::VisibleReady);
  computer.Request(picture, entries, std::nullopt, {}, 0, 60);
  ASSERT_TRUE(visible.wait(10000));
  EXPECT_EQ(visibleWithFigures, std::vector<bool>{false});

  ResultFigures whole;
  ASSERT_TRUE(
      ComputeResultFigures(AnalyseImage(picture), entries, whole, nullptr, 0, nullptr, 0, 60));
  ASSERT_TRUE(computer.Current());
  EXPECT_EQ(computer.Current()->visibleLoss, whole.visibleLoss);
  EXPECT_EQ(computer.Current()->visibleMean, whole.visibleMean);
  EXPECT_EQ(computer.Current()->visibleShareAboveOne, whole.visibleShareAboveOne);
}

TEST(ResultComputer, ABurstOfRequestsCostsOneJob) {
  SlowWorker worker;
  ResultComputer computer(nullptr, worker.Function());
  computer.SetCoalesceDelay(50);
  QSignalSpy ready(&computer, &ResultComputer::Ready);
  for (int i = 1; i <= 20; ++i) computer.Request(Picture(), {i});
  ASSERT_TRUE(worker.WaitForStarts(1));
  worker.ReleaseOne();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ready.count() == 1; }));
  EXPECT_EQ(worker.Started(), std::vector<int>{20});
  EXPECT_EQ(computer.Current()->rangeSize, 20);
}

TEST(ResultComputer, RequestsNeverWaitForTheRunningJob) {
  SlowWorker worker;
  {
    ResultComputer computer(nullptr, worker.Function());
    computer.SetCoalesceDelay(0);
    computer.Request(Picture(), {1});
    ASSERT_TRUE(worker.WaitForStarts(1));
    QElapsedTimer clock;
    clock.start();
    for (int i = 2; i < 100; ++i) computer.Request(Picture(), {i});
    QApplication::processEvents();
    EXPECT_LT(clock.elapsed(), 1000) << "the requests waited for the held job";
    EXPECT_EQ(worker.Started().size(), 1u);
    worker.ReleaseOne();
    worker.ReleaseOne();  // for the newest request, once it runs
  }                       // destroying the computer stops and joins whatever still runs
  EXPECT_EQ(worker.Stopped().front(), true);
}

TEST(ResultComputer, AWithdrawnRequestGivesNoFigures) {
  SlowWorker worker;
  ResultComputer computer(nullptr, worker.Function());
  computer.SetCoalesceDelay(0);
  QSignalSpy ready(&computer, &ResultComputer::Ready);
  computer.Request(Picture(), {1});
  ASSERT_TRUE(worker.WaitForStarts(1));
  computer.Withdraw();
  worker.ReleaseOne();
  QTest::qWait(50);
  EXPECT_EQ(ready.count(), 0);
  EXPECT_FALSE(computer.Pending());
}

}  // namespace
}  // namespace tavlo::testing
