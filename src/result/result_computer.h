#pragma once
// The result figures worked out in the background, one job at a time, always for the newest
// request:
// - Request() makes the figures shown so far outdated at once (Outdated), and work starts after
//   a short pause, so that a burst of changes (a drag across swatches, an undo of ten steps)
//   costs one job.
// - A job still running for an older request is told to stop; the newest request runs once it
//   has. A job's figures are handed on (Ready) only when no newer request came meanwhile, so the
//   window never shows figures of an older palette.
// - The user-interface thread never waits for a job, except when the computer is destroyed.
// - A request may name a second list of entries, the baseline that changes are measured from.
//   Its figures come with the request's own (Baseline()), worked out by the same job before
//   them unless they are remembered from an earlier job of the same picture and entries.
// - A request with a viewing condition gets its visible loss in a second job once its figures
//   are shown (VisibleReady): it takes far longer than the figures on large pictures.
#include <QImage>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "base/color_value.h"
#include "reduction/result_figures.h"
#include "reduction/transparency.h"

namespace tavlo {

struct ResultJob {
  quint64 serial = 0;  // of the request
  QImage picture;
  std::vector<ColorValue> entries;  // the range's colours in order
  bool baseline = false;            // the figures changes are measured from
  TransparencyRule rule;  // the transparent entry (a position in `entries`) and the alpha rule
  double budget = 0;      // the loss budget of the GIF
  double viewingPpd = 0;  // the viewing condition of the visible loss; 0 leaves it out
  FrameTiming frames;     // when the picture is an animation's frames one below the other
  // The second part of a request's work: the visible loss of the figures handed in (whose
  // `written` pixels are there), after the figures themselves were shown.
  bool visiblePart = false;
  // Which picture it is, and the alpha rule its colours are analysed by, without holding on to
  // its pixels.
  std::pair<qint64, qint64> PictureKey() const {
    return {picture.cacheKey(), (qint64(rule.alpha.threshold) << 32) | rule.alpha.matte};
  }
  // Whether the figures of `other`, a job for the same picture, are those of this one.
  bool SameFigures(const ResultJob& other) const {
    return entries == other.entries && rule == other.rule && budget == other.budget &&
           viewingPpd == other.viewingPpd && frames == other.frames;
  }
};

// Of a result's figures, what a change is measured from: no GIF, only its size.
struct BaselineFigures {
  ResultFigures figures;  // without `gif`
  qint64 gifBytes = -1;   // -1 when there was no GIF
};

// Works out the figures of a job on the worker thread; false when it gave up because `stop` was
// set, or could not work them out (`error` then says why, when it is not a stop).
using ResultFunction = std::function<bool(const ResultJob& job, ResultFigures& figures,
                                          QString& error, const std::atomic<bool>& stop)>;

// The figures of the real program: the picture's colours analysed once per picture, with a loss
// cache kept between the jobs of one picture.
ResultFunction MakeResultFunction();

class ResultComputer : public QObject {
  Q_OBJECT
 public:
  // `compute` runs on a thread of its own; the default is MakeResultFunction().
  explicit ResultComputer(QObject* parent = nullptr, ResultFunction compute = {});
  ~ResultComputer() override;

  // `rule` as for ResultJob (the baseline's figures have the same transparent entry); `budget`
  // the loss budget of the GIF; `viewingPpd` that of the visible loss; `frames` as for ResultJob.
  void Request(const QImage& picture, std::vector<ColorValue> entries,
               std::optional<std::vector<ColorValue>> baseline = std::nullopt,
               const TransparencyRule& rule = {}, double budget = 0, double viewingPpd = 0,
               const FrameTiming& frames = {});
  // Forgets the newest request: no figures are current and none will come for it.
  void Withdraw();

  // Whether figures for the newest request are still to come.
  bool Pending() const { return pending_.has_value() || Running(); }
  bool Running() const { return worker_.joinable(); }
  // The figures of the newest request, once they are ready.
  const std::optional<ResultFigures>& Current() const { return current_; }
  const std::optional<ResultJob>& CurrentJob() const { return currentJob_; }
  // The figures of the newest request's baseline, once the request's figures are ready; none
  // when it named no baseline.
  const std::optional<BaselineFigures>& Baseline() const { return baseline_; }

  // The pause before work starts (milliseconds).
  void SetCoalesceDelay(int milliseconds) { timer_.setInterval(milliseconds); }

 signals:
  void Outdated();
  void Ready(const tavlo::ResultFigures& figures);
  // The current figures have their visible loss now.
  void VisibleReady();
  void Failed(const QString& error);

 private:
  struct Outcome {
    ResultJob job;
    ResultFigures figures;
    QString error;
    bool done = false;
    std::optional<ResultJob> baselineJob;  // to be worked out before `job`
    std::optional<BaselineFigures> baseline;
  };
  // Figures worked out earlier, kept for their picture and entries.
  struct Remembered {
    std::pair<qint64, qint64> picture;
    ResultJob job;  // without its picture
    BaselineFigures figures;
  };
  void StartPending();
  void QueueVisiblePart();
  void Finished();
  void Remember(const ResultJob& job, const BaselineFigures& figures);
  const BaselineFigures* Recall(const ResultJob& job) const;

  ResultFunction compute_;
  QTimer timer_;
  quint64 serial_ = 0;
  std::optional<ResultJob> pending_;
  std::optional<std::vector<ColorValue>> pendingBaseline_;
  std::optional<ResultFigures> current_;
  std::optional<BaselineFigures> baseline_;
  std::deque<Remembered> remembered_;
  std::optional<ResultJob> currentJob_;
  std::thread worker_;
  std::shared_ptr<std::atomic<bool>> stop_;
  std::shared_ptr<Outcome> outcome_;
};

}  // namespace tavlo
