#include "result/result_computer.h"

#include <QMetaObject>
#include <new>

#include "reduction/from_image.h"

namespace tavlo {
namespace {

constexpr int kCoalesceMilliseconds = 40;

// What the real computation keeps between jobs: the colours of the last picture and what the
// last jobs worked out for it. Only the one running job touches it.
struct PictureMemory {
  qint64 key = 0;
  std::unique_ptr<PictureColors> colors;
  ResultCache cache;
};

}  // namespace

ResultFunction MakeResultFunction() {
  auto memory = std::make_shared<PictureMemory>();
  return [memory](const ResultJob& job, ResultFigures& figures, QString& error,
                  const std::atomic<bool>& stop) {
    try {
      if (!memory->colors || memory->key != job.picture.cacheKey()) {
        memory->colors.reset();
        memory->cache = ResultCache{};
        if (stop) return false;
        memory->colors = std::make_unique<PictureColors>(AnalyseImage(job.picture));
        memory->key = job.picture.cacheKey();
      }
      if (ComputeResultFigures(*memory->colors, job.entries, figures, &memory->cache, 0, &stop,
                               job.budget))
        return true;
      if (!stop) error = QStringLiteral("There is no picture to describe.");
    } catch (const std::bad_alloc&) {
      memory->colors.reset();
      memory->cache = ResultCache{};
      error = QStringLiteral("There is not enough memory to work the result out.");
    }
    return false;
  };
}

ResultComputer::ResultComputer(QObject* parent, ResultFunction compute)
    : QObject(parent), compute_(compute ? std::move(compute) : MakeResultFunction()) {
  timer_.setSingleShot(true);
  timer_.setInterval(kCoalesceMilliseconds);
  connect(&timer_, &QTimer::timeout, this, &ResultComputer::StartPending);
}

ResultComputer::~ResultComputer() {
  if (stop_) stop_->store(true);
  if (worker_.joinable()) worker_.join();
}

void ResultComputer::Request(const QImage& picture, std::vector<ColorValue> entries,
                             double budget) {
  pending_ = ResultJob{++serial_, picture, std::move(entries), budget};
  current_.reset();
  currentJob_.reset();
  if (stop_) stop_->store(true);
  timer_.start();
  emit Outdated();
}

void ResultComputer::Withdraw() {
  ++serial_;
  pending_.reset();
  current_.reset();
  currentJob_.reset();
  timer_.stop();
  if (stop_) stop_->store(true);
}

void ResultComputer::StartPending() {
  if (!pending_ || worker_.joinable()) return;  // a running job starts the next when it ends
  stop_ = std::make_shared<std::atomic<bool>>(false);
  outcome_ = std::make_shared<Outcome>();
  outcome_->job = std::move(*pending_);
  pending_.reset();
  worker_ = std::thread([this, compute = compute_, stop = stop_, outcome = outcome_] {
    outcome->done = compute(outcome->job, outcome->figures, outcome->error, *stop);
    // Back on the user-interface thread; the computer outlives the thread (it joins it).
    QMetaObject::invokeMethod(this, &ResultComputer::Finished, Qt::QueuedConnection);
  });
}

void ResultComputer::Finished() {
  worker_.join();
  const std::shared_ptr<Outcome> outcome = std::move(outcome_);
  stop_.reset();
  if (outcome->job.serial == serial_) {
    if (outcome->done) {
      current_ = std::move(outcome->figures);
      currentJob_ = std::move(outcome->job);
      emit Ready(*current_);
    } else if (!outcome->error.isEmpty()) {
      emit Failed(outcome->error);
    }
  }
  if (pending_ && !timer_.isActive()) StartPending();
}

}  // namespace tavlo
