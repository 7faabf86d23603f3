#include "result/result_computer.h"

#include <QMetaObject>
#include <new>

#include "reduction/from_image.h"

namespace tavlo {
namespace {

constexpr int kCoalesceMilliseconds = 40;
// Figures kept for later baselines: the last few states the user went through.
constexpr size_t kRememberedFigures = 4;

// A result's figures without its file and pixels, which a baseline never shows: only the
// figures are copied, never the pixels.
BaselineFigures WithoutGif(ResultFigures& figures) {
  QByteArray gif = std::move(figures.gif);
  std::vector<std::uint8_t> written = std::move(figures.written);
  std::vector<float> pixelLoss = std::move(figures.pixelLoss);
  std::vector<float> visibleLoss = std::move(figures.visibleLoss);
  BaselineFigures kept;
  kept.gifBytes = figures.gifError.isEmpty() ? gif.size() : -1;
  kept.figures = figures;
  figures.gif = std::move(gif);
  figures.written = std::move(written);
  figures.pixelLoss = std::move(pixelLoss);
  figures.visibleLoss = std::move(visibleLoss);
  return kept;
}

// What the real computation keeps between jobs: the colours of the last picture and what the
// last jobs worked out for it. Only the one running job touches it.
struct PictureMemory {
  std::pair<qint64, qint64> key;
  std::unique_ptr<PictureColors> colors;
  ResultCache cache;
};

}  // namespace

ResultFunction MakeResultFunction() {
  auto memory = std::make_shared<PictureMemory>();
  return [memory](const ResultJob& job, ResultFigures& figures, QString& error,
                  const std::atomic<bool>& stop) {
    try {
      if (!memory->colors || memory->key != job.PictureKey() ||
          memory->colors->frames != job.frames) {
        memory->colors.reset();
        memory->cache = ResultCache{};
        if (stop) return false;
        memory->colors = std::make_unique<PictureColors>(
            AnalyseImage(job.picture, job.rule.alpha, 0, job.frames));
        memory->key = job.PictureKey();
      }
      if (job.visiblePart)
        return ComputeVisibleLoss(*memory->colors, job.entries, job.viewingPpd, memory->cache,
                                  figures, 0, &stop);
      if (ComputeResultFigures(*memory->colors, job.entries, job.rule.entry, figures,
                               &memory->cache, 0, &stop, job.budget))
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
                             std::optional<std::vector<ColorValue>> baseline,
                             const TransparencyRule& rule, double budget, double viewingPpd,
                             const FrameTiming& frames) {
  ResultJob job{serial_ + 1, picture, std::move(entries), false, rule, budget, viewingPpd, frames};
  // Only the baseline changed, and its figures are known: nothing to work out.
  if (current_ && currentJob_->PictureKey() == job.PictureKey() && currentJob_->SameFigures(job)) {
    const BaselineFigures* known = nullptr;
    if (baseline) {
      ResultJob base = job;
      base.entries = *baseline;
      known = Recall(base);
    }
    if (!baseline || known) {
      baseline_ = known ? std::optional(*known) : std::nullopt;
      emit Ready(*current_);
      return;
    }
  }
  ++serial_;
  pending_ = std::move(job);
  pendingBaseline_ = std::move(baseline);
  current_.reset();
  currentJob_.reset();
  baseline_.reset();
  if (stop_) stop_->store(true);
  timer_.start();
  emit Outdated();
}

void ResultComputer::Withdraw() {
  ++serial_;
  pending_.reset();
  pendingBaseline_.reset();
  current_.reset();
  currentJob_.reset();
  baseline_.reset();
  timer_.stop();
  if (stop_) stop_->store(true);
}

void ResultComputer::StartPending() {
  if (!pending_ || worker_.joinable()) return;  // a running job starts the next when it ends
  stop_ = std::make_shared<std::atomic<bool>>(false);
  outcome_ = std::make_shared<Outcome>();
  outcome_->job = std::move(*pending_);
  pending_.reset();
  if (outcome_->job.visiblePart && current_) outcome_->figures.written = current_->written;
  if (pendingBaseline_) {
    ResultJob base = outcome_->job;
    base.entries = *pendingBaseline_;
    base.baseline = true;
    if (const BaselineFigures* known = Recall(base))
      outcome_->baseline = *known;
    else
      outcome_->baselineJob = std::move(base);
  }
  pendingBaseline_.reset();
  worker_ = std::thread([this, compute = compute_, stop = stop_, outcome = outcome_] {
    if (outcome->baselineJob) {
      ResultFigures figures;
      if (compute(*outcome->baselineJob, figures, outcome->error, *stop))
        outcome->baseline = WithoutGif(figures);
      else
        outcome->baselineJob.reset();  // nothing to remember; the baseline is left out
    }
    if (!*stop) outcome->done = compute(outcome->job, outcome->figures, outcome->error, *stop);
    // Back on the user-interface thread; the computer outlives the thread (it joins it).
    QMetaObject::invokeMethod(this, &ResultComputer::Finished, Qt::QueuedConnection);
  });
}

void ResultComputer::Finished() {
  worker_.join();
  const std::shared_ptr<Outcome> outcome = std::move(outcome_);
  stop_.reset();
  if (outcome->baselineJob && outcome->baseline)
    Remember(*outcome->baselineJob, *outcome->baseline);
  const bool visiblePart = outcome->job.visiblePart;
  if (outcome->done && !visiblePart) Remember(outcome->job, WithoutGif(outcome->figures));
  if (outcome->job.serial == serial_ && visiblePart) {
    if (outcome->done && current_) {
      current_->viewingPpd = outcome->figures.viewingPpd;
      current_->visibleLoss = std::move(outcome->figures.visibleLoss);
      current_->visibleMean = outcome->figures.visibleMean;
      current_->visibleShareAboveOne = outcome->figures.visibleShareAboveOne;
      emit VisibleReady();
    }
  } else if (outcome->job.serial == serial_) {
    if (outcome->done) {
      current_ = std::move(outcome->figures);
      currentJob_ = std::move(outcome->job);
      baseline_ = std::move(outcome->baseline);
      emit Ready(*current_);
      if (current_ && !pending_) QueueVisiblePart();
    } else if (!outcome->error.isEmpty()) {
      emit Failed(outcome->error);
    }
  }
  if (pending_ && !timer_.isActive()) StartPending();
}

void ResultComputer::QueueVisiblePart() {
  if (currentJob_->viewingPpd <= 0 || current_->written.empty()) return;
  ResultJob job = *currentJob_;  // the same serial: a newer request outdates it
  job.visiblePart = true;
  pending_ = std::move(job);
  pendingBaseline_.reset();
}

void ResultComputer::Remember(const ResultJob& job, const BaselineFigures& figures) {
  if (Recall(job)) return;
  ResultJob kept = job;
  kept.picture = QImage();
  remembered_.push_back({job.PictureKey(), std::move(kept), figures});
  if (remembered_.size() > kRememberedFigures) remembered_.pop_front();
}

const BaselineFigures* ResultComputer::Recall(const ResultJob& job) const {
  for (const Remembered& known : remembered_)
    if (known.picture == job.PictureKey() && known.job.SameFigures(job)) return &known.figures;
  return nullptr;
}

}  // namespace tavlo
