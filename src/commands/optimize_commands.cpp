#include "commands/optimize_commands.h"

#include <memory>

#include "base/thousands.h"
#include "dialogs/dialog_service.h"
#include "palette_model/palette_document.h"
#include "quantize/reduce_to_target.h"
#include "quantize/stop_flag.h"
#include "reduction/animated_gif.h"
#include "reduction/from_image.h"
#include "reduction/gif_encoder.h"
#include "reduction/result_figures.h"
#include "reduction/target_measures.h"

namespace tavlo {
namespace {

const QString kFromPicture = QStringLiteral("Palette from picture");
const QString kRemoveUnused = QStringLiteral("Remove unused entries");
const QString kMerge = QStringLiteral("Merge near colours");
const QString kReduce = QStringLiteral("Reduce to target");

// The picture as the commands read it: its pixels and its colours with their counts, its clear
// pixels told apart by the alpha rule.
class PictureColorsOf {
 public:
  PictureColorsOf(const QImage& picture, const AlphaRule& alpha, const FrameTiming& frames)
      : picture_(picture), alpha_(alpha), colors_(AnalyseImage(picture_, alpha, 0, frames)) {}

  bool HasClearPixels() const { return colors_.clearPixels > 0; }
  // The colours the range operations weigh: with a transparent entry, those of the opaque
  // pixels only, as clear pixels never take another entry.
  std::vector<ColorCount> Histogram(bool transparentEntry) const {
    return transparentEntry ? OpaqueHistogram(colors_) : colors_.histogram;
  }

  // The figures of the result window for the picture reduced to `entries`, the transparent entry
  // at position `transparent` (or TransparencyRule::kNone), under `budget`.
  ResultFigures Figures(const std::vector<ColorValue>& entries, int transparent,
                        double budget) const {
    ResultFigures figures;
    ComputeResultFigures(colors_, entries, transparent, figures, nullptr, 0, nullptr, budget);
    return figures;
  }

  // What a target of the file "Export GIF..." writes weighs, the transparent entry at position
  // `transparent`, under `budget`.
  TargetMeasures Measures(int transparent, double budget) const {
    return TargetMeasures({{picture_, colors_.frames, transparent, &colors_}}, alpha_, budget);
  }

 private:
  QImage picture_;
  AlphaRule alpha_;
  PictureColors colors_;
};

// The entries that hold the range's colours after `edit`, from the range's first entry.
EntryRange KeptEntries(EntryRange range, const RangeEdit& edit) {
  return {range.first, range.first + std::max(edit.kept, 1) - 1};
}

// The transparent entry the operations keep in place: the document's, while it lies in the range
// and the range has other entries; kNoFixedEntry otherwise.
int FixedEntry(const PaletteDocument& document, EntryRange range) {
  const int entry = document.TransparentEntry();
  return range.Count() > 1 && entry >= range.first && entry <= range.last ? entry : kNoFixedEntry;
}

// The position of the fixed entry in a range starting at `first`, as the reduction names it.
int TransparentPosition(int fixed, int first) {
  return fixed == kNoFixedEntry ? TransparencyRule::kNone : fixed - first;
}

// What a command worked out in the background.
struct Worked {
  RangeEdit edit;
  std::optional<ReductionOutcome> reduction;  // "Reduce to target" only
  ResultFigures figures;                      // of the kept entries, when the edit changes any
  // The transparent entry (a palette index, or kNoFixedEntry) after the edit.
  int transparent = kNoFixedEntry;
};

// What a command works on, read from the document on the user-interface thread.
struct WorkInput {
  QImage picture;
  AlphaRule alpha;
  PaletteColors colors;
  EntryRange range;
  int fixed = kNoFixedEntry;  // the transparent entry kept in place
  double budget = 0;
  FrameTiming frames;  // when the picture is an animation's frames one below the other
  double viewingPpd = kDefaultViewingPpd;  // of a visible target
};

// Whether applying `worked` changes the palette, the entries the result window describes or the
// transparent entry.
bool Changes(const WorkInput& input, const Worked& worked) {
  return worked.edit.colors != input.colors ||
         KeptEntries(input.range, worked.edit).last != input.range.last ||
         worked.transparent != input.fixed;
}

// Works `compute(picture colours, input, stop) -> Worked` out on a worker thread behind a busy
// box saying `label`, then the result window's figures (under the budget) of what the edit keeps;
// nullopt when the user cancelled. `compute` runs on the worker, so it holds what else it needs by
// value; it ends soon after `stop` is set, by WorkStopped, whose result nobody waits for.
template <typename Compute>
std::optional<Worked> InBackground(QWidget* owner, const QString& title, const QString& label,
                                   const WorkInput& input, Compute compute) {
  auto worked = std::make_shared<Worked>();
  const bool done = Dialogs().RunInBackground(
      owner, title, label, [worked, input, compute](const std::atomic<bool>& stop) {
        try {
          const PictureColorsOf analysed(input.picture, input.alpha, input.frames);
          ThrowIfStopped(&stop);
          *worked = compute(analysed, input, stop);
          ThrowIfStopped(&stop);
          const EntryRange kept = KeptEntries(input.range, worked->edit);
          if (Changes(input, *worked))
            worked->figures = analysed.Figures(RangeEntries(worked->edit.colors, kept),
                                               TransparentPosition(worked->transparent, kept.first),
                                               input.budget);
        } catch (const WorkStopped&) {
          // cancelled: the result is dropped
        }
      });
  if (!done) return std::nullopt;
  return std::move(*worked);
}

QString Number(std::uint64_t n) {
  return QString::fromStdString(WithThousands(n));
}

QString Percent(double share) {
  return QString::number(100 * share, 'f', 1) + QStringLiteral(" %");
}

QString Entries(int first, int last) {
  return first == last ? QStringLiteral("entry %1").arg(first + 1)
                       : QStringLiteral("entries %1\u2013%2").arg(first + 1).arg(last + 1);
}

// What the result window would show for the kept entries, as one sentence.
QString FiguresSentence(const ResultFigures& f) {
  QString gif =
      f.gifError.isEmpty() ? QStringLiteral("GIF %1 bytes, ").arg(Number(f.GifBytes())) : QString();
  return gif + QStringLiteral(
                   "%1 of %2 entries used, mean loss \u0394E %3, %4 of pixels above "
                   "\u0394E 1.0.")
                   .arg(f.entriesUsed)
                   .arg(f.rangeSize)
                   .arg(QString::number(f.meanLoss, 'f', 2))
                   .arg(Percent(f.shareAboveOne));
}

void Tell(QWidget* owner, const QString& title, const QString& text) {
  Dialogs().MessageBox(owner, title, text, MessageIcon::Information);
}

// What the command works on, or nullopt when there is no picture to work on (which the user is
// told).
std::optional<WorkInput> InputToWorkOn(QWidget* owner, const QString& title,
                                       const PaletteDocument& document, const QImage& picture,
                                       const AlphaRule& alpha, double budget,
                                       const FrameTiming& frames) {
  if (picture.isNull()) {
    Tell(owner, title,
         QStringLiteral("Open a picture first: this command works on the colours of the current "
                        "picture."));
    return std::nullopt;
  }
  const EntryRange range = document.WorkingRange();
  return WorkInput{picture, alpha, document.Colors(), range, FixedEntry(document, range),
                   budget,  frames};
}

// " Entry 5 is kept as the transparent entry.", or empty without one.
QString KeptSentence(int transparent) {
  return transparent == kNoFixedEntry
             ? QString()
             : QStringLiteral(" Entry %1 is kept as the transparent entry.").arg(transparent + 1);
}

// Applies a range edit as one undo step, the kept entries becoming the working range, and
// reports it with the figures of the kept entries.
void Apply(QWidget* owner, PaletteDocument& document, const QString& title, const WorkInput& input,
           const Worked& worked, const QString& whatHappened) {
  const EntryRange range = input.range;
  const RangeEdit& edit = worked.edit;
  const EntryRange kept = KeptEntries(range, edit);
  // Entries dropped from a range that ends in black leave the colours as they were, yet fewer
  // entries hold them: the result window should then describe those.
  const bool unchanged = edit.colors == document.Colors();
  const QString transparent = KeptSentence(worked.transparent);
  if (!Changes(input, worked)) {
    Tell(owner, title, whatHappened + QStringLiteral(" Nothing changed.") + transparent);
    return;
  }
  {
    const PaletteStep step(document, title);
    document.Apply(title, edit.colors);
    document.SetWorkingRange(kept);
    if (worked.transparent != input.fixed)
      document.SetTransparentEntry(worked.transparent == kNoFixedEntry
                                       ? ResultSettings::kNoTransparentEntry
                                       : worked.transparent);
  }
  QString entries = Entries(kept.first, kept.last);
  entries[0] = entries[0].toUpper();
  QString text = whatHappened + QStringLiteral(" ") + entries +
                 (kept.Count() == 1 ? QStringLiteral(" holds") : QStringLiteral(" hold")) +
                 QStringLiteral(" the colours");
  if (kept.last < range.last)
    text += QStringLiteral(", ") + Entries(kept.last + 1, range.last) +
            (range.last == kept.last + 1 ? QStringLiteral(" is") : QStringLiteral(" are")) +
            QStringLiteral(" black");
  text += QStringLiteral(". ") + FiguresSentence(worked.figures) + transparent;
  if (unchanged) text += QStringLiteral(" The palette itself is unchanged.");
  Tell(owner, title, text);
}

// Asks until the answer is good or the user cancels; `read` gives nullopt for a bad answer,
// which `refusal` explains before the box comes again.
template <typename Read>
auto AskValue(QWidget* owner, const QString& title, const QString& prompt, const QString& initial,
              const QString& refusal, Read read) -> decltype(read(QString())) {
  for (;;) {
    const QString answer = Dialogs().InputBox(owner, title, prompt, initial);
    if (answer.isEmpty()) return std::nullopt;
    if (auto value = read(answer)) return value;
    Dialogs().MessageBox(owner, title, refusal, MessageIcon::Warning);
  }
}

std::optional<double> ReadThreshold(const QString& text) {
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  if (!ok || !(value >= 0 && value <= 100)) return std::nullopt;
  return value;
}

QString ReductionMessage(const ReductionOutcome& outcome, const ReductionTarget& target,
                         int rangeSize) {
  const QString goal = QString::fromStdString(target.Describe());
  const bool bySize = target.kind == ReductionTarget::Kind::GifBytes;
  const bool visible = target.kind == ReductionTarget::Kind::VisibleShareAboveOne;
  // The share the target measures: of the loss pixel by pixel, or as seen.
  const QString share = visible ? Percent(outcome.visibleShare) : Percent(outcome.shareAboveOne);
  const QString above =
      visible ? QStringLiteral("visibly above \u0394E 1.0") : QStringLiteral("above \u0394E 1.0");
  switch (outcome.status) {
    case ReductionOutcome::Status::BrokenAtStart:
      return QStringLiteral(
                 "The target %1 is already broken: with all %2 entries %3 of pixels "
                 "are %4. Nothing changed.")
          .arg(goal)
          .arg(rangeSize)
          .arg(share, above);
    case ReductionOutcome::Status::AlreadyMet:
      return bySize ? QStringLiteral(
                          "The GIF is %1 bytes already, within the target %2. Nothing "
                          "changed.")
                          .arg(Number(outcome.gifBytes))
                          .arg(goal)
                    : QStringLiteral(
                          "Removing any entry would break the target %1 (%2 of pixels "
                          "are %3 now). Nothing changed.")
                          .arg(goal, share, above);
    case ReductionOutcome::Status::Unreachable:
      return QStringLiteral(
                 "Even one entry gives a GIF of %1 bytes, more than the target %2. "
                 "Nothing changed.")
          .arg(Number(outcome.gifBytes))
          .arg(goal);
    case ReductionOutcome::Status::Reached:
      break;
  }
  return QStringLiteral("Reached the target %1 with %2 of %3 entries (%4 removed or merged).")
      .arg(goal)
      .arg(outcome.edit.kept)
      .arg(rangeSize)
      .arg(outcome.edit.removed);
}

// "Reduce to target" as the worker does it.
Worked Reduce(const PictureColorsOf& analysed, const WorkInput& input,
              const ReductionTarget& target, const std::atomic<bool>& stop) {
  TargetMeasures measures =
      analysed.Measures(TransparentPosition(input.fixed, input.range.first), input.budget);
  ReductionOutcome outcome = ReduceToTarget(
      input.colors, input.range, analysed.Histogram(input.fixed != kNoFixedEntry), target,
      [&](const std::vector<ColorValue>& entries) {
        ThrowIfStopped(&stop);
        const double measure = target.kind == ReductionTarget::Kind::VisibleShareAboveOne
                                   ? measures.VisibleShare(entries, input.viewingPpd, &stop)
                                   : double(measures.GifBytes(entries, &stop));
        ThrowIfStopped(&stop);
        return measure;
      },
      0, &stop, input.fixed);
  const bool reached = outcome.status == ReductionOutcome::Status::Reached;
  const RangeEdit edit = reached ? outcome.edit : RangeEdit{input.colors, 0, input.range.Count()};
  return Worked{edit, std::move(outcome), {}, input.fixed};
}

// "Palette from picture" as the worker does it: with clear pixels in the picture, the range's
// first entry holds the matte colour for them and becomes the transparent entry, and the colours
// are those of the opaque pixels.
Worked FromPicture(const PictureColorsOf& analysed, const WorkInput& input,
                   const std::atomic<bool>& stop) {
  const bool reserve = analysed.HasClearPixels() && input.range.Count() > 1;
  const RangeEdit edit =
      PaletteFromPicture(input.colors, input.range, analysed.Histogram(reserve), {.stop = &stop},
                         reserve ? std::optional(input.alpha.matte) : std::nullopt);
  return Worked{edit, {}, {}, reserve ? input.range.first : kNoFixedEntry};
}

}  // namespace

void PaletteFromPictureCommand(QWidget* owner, PaletteDocument& document, const QImage& picture,
                               const AlphaRule& alpha, double budget, const FrameTiming& frames) {
  const std::optional<WorkInput> input =
      InputToWorkOn(owner, kFromPicture, document, picture, alpha, budget, frames);
  if (!input) return;
  const std::optional<Worked> worked = InBackground(
      owner, kFromPicture, QStringLiteral("Working out the palette from the picture\u2026"), *input,
      [](const PictureColorsOf& analysed, const WorkInput& in, const std::atomic<bool>& stop) {
        return FromPicture(analysed, in, stop);
      });
  if (!worked) return;
  const int computed = worked->edit.kept - (worked->transparent == kNoFixedEntry ? 0 : 1);
  const int room = input->range.Count() - (worked->transparent == kNoFixedEntry ? 0 : 1);
  const QString what =
      computed < room
          ? QStringLiteral("The picture has %1 colours; all of them are in the palette.")
                .arg(computed)
          : QStringLiteral("%1 colours computed from the picture.").arg(computed);
  Apply(owner, document, kFromPicture, *input, *worked, what);
}

void RemoveUnusedEntriesCommand(QWidget* owner, PaletteDocument& document, const QImage& picture,
                                const AlphaRule& alpha, double budget, const FrameTiming& frames) {
  const std::optional<WorkInput> input =
      InputToWorkOn(owner, kRemoveUnused, document, picture, alpha, budget, frames);
  if (!input) return;
  const std::optional<Worked> worked = InBackground(
      owner, kRemoveUnused, QStringLiteral("Looking for unused entries\u2026"), *input,
      [](const PictureColorsOf& analysed, const WorkInput& in, const std::atomic<bool>& stop) {
        const bool fixed = in.fixed != kNoFixedEntry;
        return Worked{
            RemoveUnusedEntries(in.colors, in.range, analysed.Histogram(fixed), &stop, in.fixed),
            {},
            {},
            in.fixed};
      });
  if (!worked) return;
  const int removed = worked->edit.removed;
  if (removed == 0) {
    Tell(owner, kRemoveUnused,
         QStringLiteral("Every entry of %1 is used by the picture. Nothing changed.")
                 .arg(Entries(input->range.first, input->range.last)) +
             KeptSentence(input->fixed));
    return;
  }
  Apply(owner, document, kRemoveUnused, *input, *worked,
        QStringLiteral("Removed %1 unused %2.")
            .arg(removed)
            .arg(removed == 1 ? QStringLiteral("entry") : QStringLiteral("entries")));
}

void MergeNearColorsCommand(QWidget* owner, PaletteDocument& document, const QImage& picture,
                            const AlphaRule& alpha, double budget, const FrameTiming& frames) {
  const std::optional<WorkInput> input =
      InputToWorkOn(owner, kMerge, document, picture, alpha, budget, frames);
  if (!input) return;
  const std::optional<double> threshold = AskValue(
      owner, kMerge,
      QStringLiteral("Merge entries whose colours differ by less than (CIEDE2000, 0 to 100):"),
      QStringLiteral("1.0"), QStringLiteral("The threshold must be a number from 0 to 100."),
      ReadThreshold);
  if (!threshold) return;
  const std::optional<Worked> worked =
      InBackground(owner, kMerge, QStringLiteral("Merging near colours\u2026"), *input,
                   [threshold = *threshold](const PictureColorsOf& analysed, const WorkInput& in,
                                            const std::atomic<bool>& stop) {
                     const bool fixed = in.fixed != kNoFixedEntry;
                     return Worked{MergeNearColors(in.colors, in.range, analysed.Histogram(fixed),
                                                   threshold, &stop, in.fixed),
                                   {},
                                   {},
                                   in.fixed};
                   });
  if (!worked) return;
  const int removed = worked->edit.removed;
  const QString limit = QString::number(*threshold, 'g', 6);
  if (removed == 0) {
    Tell(owner, kMerge,
         QStringLiteral("No two entries of %1 are closer than \u0394E %2. Nothing changed.")
                 .arg(Entries(input->range.first, input->range.last))
                 .arg(limit) +
             KeptSentence(input->fixed));
    return;
  }
  Apply(owner, document, kMerge, *input, *worked,
        QStringLiteral("Merged %1 %2 closer than \u0394E %3 into others.")
            .arg(removed)
            .arg(removed == 1 ? QStringLiteral("entry") : QStringLiteral("entries"))
            .arg(limit));
}

void ReduceToTargetCommand(QWidget* owner, PaletteDocument& document, const QImage& picture,
                           const AlphaRule& alpha, double budget, double viewingPpd,
                           const FrameTiming& frames) {
  std::optional<WorkInput> input =
      InputToWorkOn(owner, kReduce, document, picture, alpha, budget, frames);
  if (!input) return;
  input->viewingPpd = viewingPpd;
  const std::optional<ReductionTarget> target = AskValue(
      owner, kReduce,
      QStringLiteral("Target: a GIF size in bytes (for example \u2264 150000) or a share of "
                     "pixels above \u0394E 1.0 (for example \u2264 5 %, or \u2264 5 % visible "
                     "for the loss as seen):"),
      QString(),
      QStringLiteral("Please give a GIF size such as \u2264 150000 or a share such as \u2264 5 % "
                     "or \u2264 5 % visible."),
      [](const QString& text) { return ReductionTarget::Parse(text.toStdString()); });
  if (!target) return;
  if (!target->IsShare() &&
      (picture.width() > kGifMaxSide || picture.height() / input->frames.count > kGifMaxSide)) {
    Dialogs().MessageBox(owner, kReduce,
                         QStringLiteral("The picture is too large for a GIF. Nothing changed."),
                         MessageIcon::Warning);
    return;
  }
  const std::optional<Worked> worked =
      InBackground(owner, kReduce, QStringLiteral("Reducing the range to the target\u2026"), *input,
                   [target = *target](const PictureColorsOf& analysed, const WorkInput& in,
                                      const std::atomic<bool>& stop) {
                     return Reduce(analysed, in, target, stop);
                   });
  if (!worked) return;
  const QString what = ReductionMessage(*worked->reduction, *target, input->range.Count());
  if (worked->reduction->status != ReductionOutcome::Status::Reached) {
    Tell(owner, kReduce, what + KeptSentence(input->fixed));
    return;
  }
  Apply(owner, document, kReduce, *input, *worked, what);
}

}  // namespace tavlo
