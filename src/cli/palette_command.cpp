#include "cli/palette_command.h"

#include <QFileInfo>
#include <new>

#include "base/thousands.h"
#include "cli/histogram_sum.h"
#include "cli/output_files.h"
#include "cli/palette_input.h"
#include "cli/parallel_inputs.h"
#include "cli/picture_input.h"
#include "cli/progress.h"
#include "cli/shared_options.h"
#include "cli/transparency_options.h"
#include "formats/palette_formats.h"
#include "quantize/reduce_to_target.h"
#include "reduction/from_image.h"
#include "reduction/gif_encoder.h"
#include "reduction/target_measures.h"
#include "store/transparency_settings.h"

namespace tavlo::cli {
namespace {

QCommandLineOption ColorsOption() {
  return QCommandLineOption({QStringLiteral("n"), QStringLiteral("colors")},
                            QStringLiteral("The number of colours to compute, 1 to 256."),
                            QStringLiteral("N"));
}

QCommandLineOption MergeOption() {
  return QCommandLineOption(
      {QStringLiteral("m"), QStringLiteral("merge")},
      QStringLiteral("Then merges colours less than DE apart (CIEDE2000, 0 to 100), as \"Merge "
                     "near colours\" does."),
      QStringLiteral("DE"));
}

QCommandLineOption TargetOption() {
  return QCommandLineOption(
      {QStringLiteral("t"), QStringLiteral("target")},
      QStringLiteral("Then removes or merges colours as \"Reduce to target\" does: a GIF size "
                     "(\"150000\", \"150 KB\"; all pictures' GIFs together) or a share of pixels "
                     "above CIEDE2000 1.0 (\"5 %\"), pixel by pixel or as seen (\"5 % visible\": "
                     "the visible loss of the GIFs, at --viewing PPD)."),
      QStringLiteral("SPEC"));
}

QCommandLineOption PaletteOutOption() {
  return QCommandLineOption({QStringLiteral("o"), QStringLiteral("out")},
                            QStringLiteral("The palette file to write, its format chosen by its "
                                           "ending (default: the colours on stdout, one rrggbb "
                                           "a line)."),
                            QStringLiteral("FILE"));
}

CommandSpec PaletteSpec() {
  return {
      .name = QStringLiteral("palette"),
      .synopsis = QStringLiteral("PICTURE... --colors N [--merge DE] [--target SPEC [--lossy T]] "
                                 "[--transparent auto|none] [--alpha-threshold A] [--matte RRGGBB] "
                                 "[--out FILE] [--count 16|256] [--jobs N] [--force] [--quiet]"),
      .summary =
          QStringLiteral(
              "Computes one palette for all the pictures together (their colours counted as if\n"
              "they were one picture) by the quantizer of \"Palette from picture...\": N colours,\n"
              "or as many as the pictures have if fewer, most used first, in entries 1 to N of a\n"
              "black palette. When a picture has transparent pixels, entry 1 holds the matte\n"
              "colour for them and the other N - 1 colours come from the opaque pixels (unless\n"
              "--transparent none). --merge and --target then work on those entries, entry 1\n"
              "kept. FILE's ending chooses the format: %1;\n"
              "a pal file holds 16 or 256 entries (--count), an act file all 256, the others the\n"
              "colours computed.\n"
              "With --target SPEC as a GIF size or a visible share, every picture is kept in\n"
              "memory while it works; --lossy T weighs the GIFs written under the loss budget T.\n"
              "Every frame of an animated GIF counts, and its GIF is the animation's.")
              .arg(WrittenEndings()),
      .options = {ColorsOption(), MergeOption(), TargetOption(), LossyOption(), ViewingOption(),
                  TransparentOption(false), AlphaThresholdOption(), MatteOption(),
                  PaletteOutOption(), CountOption(), JobsOption(), ForceOption(), QuietOption()},
      .minimumInputs = 1,
      .example = QStringLiteral("palette sprites/*.png --colors 64 --merge 1.5 --out sprites.gpl"),
  };
}

// What the command line asks for, read and checked before any picture is.
struct PaletteJob {
  int colors = 0;
  std::optional<double> merge;
  std::optional<ReductionTarget> target;
  double budget = 0;                       // of the GIFs a size or visible target weighs
  double viewingPpd = kDefaultViewingPpd;  // of a visible target
  QString out;                             // empty: stdout
  const PaletteFormat* format = nullptr;
  std::optional<EntryRange> palCount;  // --count of a .pal file
  int jobs = 0;
  bool force = false;
  TransparencyChoice transparency;

  // A target of the GIFs as written: their size, or their visible loss.
  bool KeepsPictures() const {
    return target && target->kind != ReductionTarget::Kind::ShareAboveOne;
  }
  // Whether entry 1 is kept for transparent pixels, should a picture have any.
  bool MayReserve() const {
    return transparency.mode == TransparencyChoice::Mode::Auto && colors >= 2;
  }
};

std::optional<int> ReadColors(const CommandLine& line, CliIo& io, PaletteJob& job) {
  if (!line.IsSet(QStringLiteral("colors")))
    return line.UsageError(io, QStringLiteral("--colors N is required."));
  const auto colors = ParseWholeNumber(line.Value(QStringLiteral("colors")), 1, kPaletteSize);
  if (!colors)
    return line.UsageError(io, QStringLiteral("--colors takes a number from 1 to 256, not '%1'.")
                                   .arg(line.Value(QStringLiteral("colors"))));
  job.colors = *colors;
  return std::nullopt;
}

std::optional<int> ReadMergeAndTarget(const CommandLine& line, CliIo& io, PaletteJob& job) {
  if (line.IsSet(QStringLiteral("merge"))) {
    bool ok = false;
    const QString text = line.Value(QStringLiteral("merge"));
    const double threshold = text.trimmed().toDouble(&ok);
    if (!ok || !(threshold >= 0 && threshold <= 100))
      return line.UsageError(
          io, QStringLiteral("--merge takes a number from 0 to 100, not '%1'.").arg(text));
    job.merge = threshold;
  }
  if (line.IsSet(QStringLiteral("target"))) {
    const QString text = line.Value(QStringLiteral("target"));
    job.target = ReductionTarget::Parse(text.toStdString());
    if (!job.target)
      return line.UsageError(io, QStringLiteral("--target takes a GIF size such as 150000 or a "
                                                "share such as 5 % or 5 % visible, not '%1'.")
                                     .arg(text));
  }
  std::optional<double> budget;
  if (const auto ended = ReadLossy(line, io, budget)) return *ended;
  if (budget && !job.KeepsPictures())
    return line.UsageError(
        io, QStringLiteral("--lossy applies to a --target GIF size or visible share only."));
  job.budget = budget.value_or(0);
  if (line.IsSet(QStringLiteral("viewing")) &&
      !(job.target && job.target->kind == ReductionTarget::Kind::VisibleShareAboveOne))
    return line.UsageError(io,
                           QStringLiteral("--viewing applies to a --target visible share only."));
  if (const auto ended = ReadViewing(line, io, job.viewingPpd)) return *ended;
  return std::nullopt;
}

std::optional<int> ReadOutput(const CommandLine& line, CliIo& io, PaletteJob& job) {
  job.force = line.IsSet(QStringLiteral("force"));
  job.out = line.Value(QStringLiteral("out"));
  if (job.out.isEmpty()) {
    if (line.IsSet(QStringLiteral("count")))
      return line.UsageError(io, QStringLiteral("--count applies to .pal files only."));
    job.format = FormatForEnding(u"hex");
    return std::nullopt;
  }
  job.format = FormatForName(job.out);
  if (!job.format || !job.format->write)
    return line.UsageError(io, QStringLiteral("Tavlo writes no palette file of the ending of %1 "
                                              "(it writes %2).")
                                   .arg(ShownPath(job.out), WrittenEndings()));
  if (line.IsSet(QStringLiteral("count")) && job.format->saved != SavedEntries::SixteenOrAll)
    return line.UsageError(io, QStringLiteral("--count applies to .pal files only."));
  if (const auto ended = ReadPalCount(line, io, job.palCount)) return *ended;
  if (job.palCount && job.palCount->Count() < job.colors)
    return line.UsageError(io, QStringLiteral("A .pal file of %1 entries cannot hold %2 colours.")
                                   .arg(job.palCount->Count())
                                   .arg(job.colors));
  return std::nullopt;
}

// A picture kept for a target of the GIFs as written: its pixels (all frames of an animation),
// whether some are transparent, and how it is an animation.
struct KeptPicture {
  QImage pixels;
  bool clear = false;
  FrameTiming timing;
};

// One picture as the palette needs it: its colours (the opaque ones only when entry 1 may be kept
// for the transparent ones), and its pixels for a target of the GIFs as written.
struct PictureRead {
  std::vector<ColorCount> histogram;
  KeptPicture kept;
  QString error;
};

PictureRead ReadOne(const QString& input, const PaletteJob& job, int threads) {
  try {
    PictureResult picture = LoadPicture(input);
    if (!picture.ok()) return {{}, {}, picture.error};
    // Every pixel of every frame of an animation counts.
    AllFrames all = AllFramesOf(picture);
    picture = {};
    if (job.KeepsPictures() &&
        (all.pixels.width() > kGifMaxSide || all.pixels.height() / all.timing.count > kGifMaxSide))
      return {{}, {}, QStringLiteral("is too large for a GIF, so --target cannot weigh it")};
    PictureRead read;
    const PictureColors colors =
        AnalyseImage(all.pixels, job.transparency.alpha, threads, all.timing);
    read.kept.clear = colors.clearPixels > 0;
    read.histogram = job.MayReserve() ? OpaqueHistogram(colors) : colors.histogram;
    if (job.KeepsPictures()) read.kept = {std::move(all.pixels), read.kept.clear, all.timing};
    return read;
  } catch (const std::bad_alloc&) {
    return {{}, {}, QStringLiteral("there is not enough memory for this picture")};
  }
}

// The pictures that could be read, added up; false when some could not (each is reported).
struct PicturesRead {
  HistogramSum colors;
  std::vector<KeptPicture> pixels;  // for a target of the GIFs as written
  bool anyClear = false;            // some picture has transparent pixels
  bool anyRead = false;
  bool anyFailed = false;
};

PicturesRead ReadPictures(const QStringList& inputs, const PaletteJob& job, CliIo& io, bool quiet) {
  const int count = static_cast<int>(inputs.size());
  const int threads = ThreadsPerInput(count, job.jobs);
  std::vector<PictureRead> reads(static_cast<size_t>(count));
  PicturesRead all;
  Progress progress(io, count, quiet);
  ForEachInput(count, job.jobs,
               {.work = [&](int i) { reads[size_t(i)] = ReadOne(inputs[i], job, threads); },
                .finished =
                    [&](int i) {
                      progress.Finished(ShownPath(inputs[i]) + (reads[size_t(i)].error.isEmpty()
                                                                    ? QString()
                                                                    : QStringLiteral(" failed")));
                    },
                .inOrder =
                    [&](int i) {
                      PictureRead read = std::move(reads[size_t(i)]);
                      if (!read.error.isEmpty()) {
                        ReportFailure(io, ShownPath(inputs[i]), read.error);
                        all.anyFailed = true;
                        return;
                      }
                      all.anyRead = true;
                      all.anyClear = all.anyClear || read.kept.clear;
                      if (!read.histogram.empty()) all.colors.Add(std::move(read.histogram));
                      if (job.KeepsPictures()) all.pixels.push_back(std::move(read.kept));
                    }});
  return all;
}

// "tavlo-cli: <reason>": a failure of the command's one output.
void ReportOutputFailure(CliIo& io, const QString& reason) {
  io.err << kProgramName << ": " << reason << Qt::endl;
}

QString Number(std::uint64_t n) {
  return QString::fromStdString(WithThousands(n));
}

QString Colors(int n) {
  return n == 1 ? QStringLiteral("1 colour") : QStringLiteral("%1 colours").arg(n);
}

// What --target reached, for stderr; a warning when it changed nothing because it could not.
void ReportTarget(CliIo& io, const ReductionOutcome& outcome, const ReductionTarget& target,
                  int colors) {
  const QString goal = QString::fromStdString(target.Describe());
  const bool bySize = target.kind == ReductionTarget::Kind::GifBytes;
  const bool visible = target.kind == ReductionTarget::Kind::VisibleShareAboveOne;
  const QString share =
      QString::number(100 * (visible ? outcome.visibleShare : outcome.shareAboveOne), 'f', 1) +
      QStringLiteral(" %");
  const QString reached = bySize ? QStringLiteral("GIFs of %1 bytes").arg(Number(outcome.gifBytes))
                          : visible
                              ? QStringLiteral("%1 of pixels visibly above \u0394E 1.0").arg(share)
                              : QStringLiteral("%1 of pixels above \u0394E 1.0").arg(share);
  switch (outcome.status) {
    case ReductionOutcome::Status::Reached:
      io.err << kProgramName << ": target " << goal << " reached with " << Colors(outcome.edit.kept)
             << " of " << colors << " (" << reached << ")." << Qt::endl;
      return;
    case ReductionOutcome::Status::AlreadyMet:
      io.err << kProgramName << ": target " << goal << ": all " << Colors(colors) << " kept ("
             << reached << (bySize ? QString() : QStringLiteral("; one fewer would break it"))
             << ")." << Qt::endl;
      return;
    case ReductionOutcome::Status::BrokenAtStart:
      ReportWarning(io, QStringLiteral("target %1 broken already with all %2 (%3); all kept.")
                            .arg(goal, Colors(colors), reached));
      return;
    case ReductionOutcome::Status::Unreachable:
      ReportWarning(io, QStringLiteral("target %1 out of reach: even 1 colour gives %2; all %3 "
                                       "kept.")
                            .arg(goal, reached, Colors(colors)));
      return;
  }
}

// The palette of the pictures: colours in entries 0 to kept - 1, the rest black; entry 0 the
// matte colour, kept for transparent pixels, when a picture has some.
RangeEdit MakePalette(const PicturesRead& pictures, const PaletteJob& job, CliIo& io) {
  const std::vector<ColorCount> histogram = pictures.colors.Counts();
  const AlphaRule& alpha = job.transparency.alpha;
  const bool reserved = job.MayReserve() && pictures.anyClear;
  const int fixed = reserved ? 0 : kNoFixedEntry;
  if (reserved)
    io.err << kProgramName << ": entry 1 holds the matte colour " << MatteText(alpha.matte)
           << " for transparent pixels." << Qt::endl;
  else if (pictures.anyClear && job.transparency.mode == TransparencyChoice::Mode::Auto)
    ReportWarning(io, QStringLiteral("with 1 colour no entry can be kept for transparent pixels; "
                                     "they are laid over the matte."));
  RangeEdit edit = PaletteFromPicture(PaletteColors{}, {0, job.colors - 1}, histogram, {},
                                      reserved ? std::optional(alpha.matte) : std::nullopt);
  if (job.merge && edit.kept > 1)
    edit = MergeNearColors(edit.colors, {0, edit.kept - 1}, histogram, *job.merge, nullptr, fixed);
  if (job.target) {
    // Entry 1 is the transparent entry of each picture that has clear pixels, as reduce
    // --transparent auto would write them.
    std::vector<WeighedPicture> weighed;
    for (const KeptPicture& kept : pictures.pixels)
      weighed.push_back({kept.pixels, kept.timing,
                         reserved && kept.clear ? 0 : TransparencyRule::kNone, nullptr});
    TargetMeasures measures(std::move(weighed), alpha, job.budget);
    const bool visible = job.target->kind == ReductionTarget::Kind::VisibleShareAboveOne;
    const PictureMeasureOf measure = [&](const std::vector<ColorValue>& entries) {
      return visible ? measures.VisibleShare(entries, job.viewingPpd)
                     : double(measures.GifBytes(entries));
    };
    const ReductionOutcome outcome = ReduceToTarget(edit.colors, {0, edit.kept - 1}, histogram,
                                                    *job.target, measure, 0, nullptr, fixed);
    ReportTarget(io, outcome, *job.target, edit.kept);
    if (outcome.status == ReductionOutcome::Status::Reached) edit = outcome.edit;
  }
  return edit;
}

// Writes the palette to --out FILE, or prints it; false when the file could not be written.
bool WritePalette(const RangeEdit& palette, const PaletteJob& job, CliIo& io) {
  EntryRange written{0, palette.kept - 1};
  if (job.format->saved != SavedEntries::AskedRange)
    written = job.palCount.value_or(EntryRange{0, kPaletteSize - 1});
  const QString path = job.out.isEmpty() ? QStringLiteral("palette.hex") : job.out;
  const QByteArray bytes = WritePaletteBytes(*job.format, palette.colors, written, path);
  if (job.out.isEmpty()) {
    io.out << QString::fromUtf8(bytes);
    io.out.flush();
    return true;
  }
  const QString failed = WriteOutput(job.out, bytes, job.force);
  if (failed.isEmpty()) return true;
  ReportOutputFailure(io, failed);
  return false;
}

}  // namespace

int RunPalette(const QStringList& arguments, CliIo& io) {
  CommandLine line(PaletteSpec());
  if (const auto ended = line.Parse(arguments, io)) return *ended;
  PaletteJob job;
  if (const auto ended = ReadColors(line, io, job)) return *ended;
  if (const auto ended = ReadMergeAndTarget(line, io, job)) return *ended;
  if (const auto ended = ReadOutput(line, io, job)) return *ended;
  if (const auto ended = ReadJobs(line, io, job.jobs)) return *ended;
  if (const auto ended =
          ReadTransparency(line, io, false, TransparencyChoice::Mode::Auto, job.transparency))
    return *ended;
  const QFileInfo out(job.out);
  if (!job.out.isEmpty() && !job.force && (out.exists() || out.isSymLink())) {
    ReportOutputFailure(io, ExistsAlready(job.out));
    return kExitSomeFailed;
  }

  const PicturesRead pictures =
      ReadPictures(line.Inputs(), job, io, line.IsSet(QStringLiteral("quiet")));
  if (!pictures.anyRead) {
    ReportOutputFailure(io, QStringLiteral("no picture could be read, so no palette was made"));
    return kExitSomeFailed;
  }
  const RangeEdit palette = MakePalette(pictures, job, io);
  if (!WritePalette(palette, job, io)) return kExitSomeFailed;
  return pictures.anyFailed ? kExitSomeFailed : kExitSuccess;
}

}  // namespace tavlo::cli
