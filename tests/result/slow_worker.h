#pragma once
// A deliberately slow result worker for the tests of the background computation.
#include <QTest>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "result/result_computer.h"

namespace tavlo::testing {

// A worker that holds each job until the test lets it go, and says which jobs it saw and whether
// they were told to stop. Its figures carry the job's first entry as their range size, so a test
// can tell whose figures came out, and every pixel is written as that first entry. Baselines are
// worked out at once and not counted.
class SlowWorker {
 public:
  ResultFunction Function() {
    return [this](const ResultJob& job, ResultFigures& figures, QString&,
                  const std::atomic<bool>& stop) {
      if (job.baseline) {
        Fill(job, figures);
        return !stop.load();
      }
      if (job.visiblePart) return !stop.load();  // no visible loss
      std::unique_lock lock(mutex_);
      started_.push_back(job.entries.front());
      changed_.notify_all();
      changed_.wait(lock, [&] { return released_ > finished_; });
      ++finished_;
      stopped_.push_back(stop.load());
      Fill(job, figures);
      return !stop.load();
    };
  }
  void ReleaseOne() {
    std::lock_guard lock(mutex_);
    ++released_;
    changed_.notify_all();
  }
  // Waits (running the event loop) until `count` jobs have started.
  bool WaitForStarts(size_t count) {
    return QTest::qWaitFor([&] {
      std::lock_guard lock(mutex_);
      return started_.size() >= count;
    });
  }
  std::vector<int> Started() {
    std::lock_guard lock(mutex_);
    return started_;
  }
  std::vector<bool> Stopped() {
    std::lock_guard lock(mutex_);
    return stopped_;
  }

 private:
  static void Fill(const ResultJob& job, ResultFigures& figures) {
    figures.rangeSize = job.entries.front();
    figures.tableBits = 1;
    figures.gif = QByteArray(job.entries.front(), 'G');  // the size says whose figures these are
    figures.usage.assign(job.entries.size(), 1);
    figures.pixels = job.entries.size();
    figures.entriesUsed = static_cast<int>(job.entries.size());
    const size_t pixels = size_t(job.picture.width()) * size_t(job.picture.height());
    figures.written.assign(pixels, 0);
    figures.pixelLoss.assign(pixels, 0.0f);
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<int> started_;
  std::vector<bool> stopped_;
  int released_ = 0;
  int finished_ = 0;
};

}  // namespace tavlo::testing
