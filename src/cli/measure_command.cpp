#include "cli/measure_command.h"

#include <new>

#include "cli/measure_output.h"
#include "cli/output_files.h"
#include "cli/parallel_inputs.h"
#include "cli/picture_input.h"
#include "cli/progress.h"
#include "cli/reduction_options.h"
#include "cli/shared_options.h"
#include "cli/transparency_options.h"
#include "reduction/from_image.h"
#include "reduction/loss_map.h"
#include "reduction/result_figures.h"

namespace tavlo::cli {
namespace {

QCommandLineOption JsonOption() {
  return QCommandLineOption(QStringLiteral("json"),
                            QStringLiteral("One JSON object a line instead of the table."));
}

QCommandLineOption LossMapOption() {
  return QCommandLineOption(
      QStringLiteral("loss-map"),
      QStringLiteral("Writes DIR/<base name>.loss.png for each picture: a 16-bit grey PNG whose "
                     "pixels are round(1000 x CIEDE2000) between the picture and the GIF."),
      QStringLiteral("DIR"));
}

CommandSpec MeasureSpec() {
  return {
      .name = QStringLiteral("measure"),
      .synopsis = QStringLiteral(
          "PICTURE... --palette FILE [--range A-B] [--lossy T] [--transparent N|none|auto]\n"
          "        [--alpha-threshold A] [--matte RRGGBB] [--json] [--viewing PPD]\n"
          "        [--loss-map DIR] [--jobs N] [--force] [--quiet]"),
      .summary = QStringLiteral(
          "Prints, for each picture reduced to the palette's entries by the preview's rule, the\n"
          "figures the result window shows: the size of the GIF \"Export GIF...\" would write, "
          "its\n"
          "colour table, the entries the picture uses, the mean and largest CIEDE2000 difference\n"
          "between picture and reduction and the share of pixels whose difference exceeds 1.0\n"
          "(over the opaque pixels, laid over the matte). --json adds each entry's pixel count,\n"
          "the transparent entry and the transparent pixels. With --lossy T the figures are\n"
          "those of the GIF written under the loss budget T, and --json says \"lossy\": T.\n"
          "--json also gives the visible loss (S-CIELAB at --viewing PPD): its mean and share\n"
          "of pixels above 1.0. An animated GIF is measured whole: its figures are those of all\n"
          "its frames and of the animation's GIF (with --lossy T, written under the budget across\n"
          "frames), --json gives \"frames\", and its loss map holds the frames one below the\n"
          "other."),
      .options = {PaletteOption(), RangeOption(), LossyOption(), TransparentOption(true),
                  AlphaThresholdOption(), MatteOption(), JsonOption(), ViewingOption(),
                  LossMapOption(), JobsOption(), ForceOption(), QuietOption()},
      .minimumInputs = 1,
      .example = QStringLiteral("measure icons/*.png --palette web.gpl --json"),
  };
}

struct Measured {
  ResultFigures figures;
  QString error;
  QString note;
  int frames = 1;
};

struct Measurement : ReductionOptions {
  double viewingPpd = 0;  // 0: no visible loss
  QString lossMapDir;     // empty: no loss map
  bool force = false;     // loss maps replace existing files
  int threads = 1;
};

// Writes the loss map to `path` by the output rule; the reason when it cannot.
QString WriteLossMap(const QString& path, const ResultFigures& figures, int width, int height,
                     const Measurement& measurement) {
  const QByteArray png = LossMapPng(figures.pixelLoss, width, height);
  if (png.isEmpty()) return QStringLiteral("its loss map could not be encoded");
  return WriteOutput(path, png, measurement.force);
}

// `lossMap`: where its loss map goes, or empty for none.
Measured MeasureOne(const QString& input, const QString& lossMap, const Measurement& measurement) {
  Measured measured;
  try {
    const PictureResult picture = LoadPicture(input);
    if (!picture.ok()) return {{}, picture.error, {}, 1};
    // An animation is measured whole: every pixel of every frame, and its animated GIF.
    const AllFrames all = AllFramesOf(picture);
    measured.frames = all.timing.count;
    const PictureColors colors =
        AnalyseImage(all.pixels, measurement.transparency.alpha, measurement.threads, all.timing);
    const TransparencyRule rule =
        RuleFor(measurement.transparency, measurement.range, all.pixels, &colors,
                measurement.entries, measured.note, measurement.threads);
    if (!ComputeResultFigures(colors, measurement.entries, rule.entry, measured.figures, nullptr,
                              measurement.threads, nullptr, measurement.budget,
                              measurement.viewingPpd))
      return {{}, QStringLiteral("cannot be measured"), {}, 1};
    if (!measured.figures.gifError.isEmpty()) return {{}, measured.figures.gifError, {}, 1};
    if (!lossMap.isEmpty()) {
      const QString error =
          WriteLossMap(lossMap, measured.figures, colors.width, colors.height, measurement);
      if (!error.isEmpty()) return {{}, error, {}, 1};
    }
    // Printed from here on are the figures; the pixels need not stay.
    measured.figures.written = {};
    measured.figures.pixelLoss = {};
    measured.figures.visibleLoss = {};
  } catch (const std::bad_alloc&) {
    return {{}, QStringLiteral("there is not enough memory for this picture"), {}, 1};
  }
  return measured;
}

}  // namespace

int RunMeasure(const QStringList& arguments, CliIo& io) {
  CommandLine line(MeasureSpec());
  if (const auto ended = line.Parse(arguments, io)) return *ended;
  Measurement measurement;
  if (const auto ended = ReadReductionOptions(line, io, QString(), measurement)) return *ended;
  const bool json = line.IsSet(QStringLiteral("json"));
  measurement.lossMapDir = line.Value(QStringLiteral("loss-map"));
  if (json || line.IsSet(QStringLiteral("viewing"))) {
    if (const auto ended = ReadViewing(line, io, measurement.viewingPpd)) return *ended;
  }
  if (const QString problem = OutputFolderProblem(measurement.lossMapDir); !problem.isEmpty()) {
    ReportFailure(io, ShownPath(measurement.lossMapDir), problem);
    return kExitSomeFailed;
  }
  measurement.force = line.IsSet(QStringLiteral("force"));

  const QStringList inputs = line.Inputs();
  const int count = static_cast<int>(inputs.size());
  QStringList lossMaps, refused;
  if (!measurement.lossMapDir.isEmpty()) {
    for (const QString& input : inputs)
      lossMaps << OutputNamed(input, measurement.lossMapDir, QStringLiteral(".loss.png"));
    refused = RefusedOutputs(inputs, lossMaps, measurement.force);
  }
  measurement.threads = ThreadsPerInput(count, measurement.jobs);
  std::vector<Measured> results(static_cast<size_t>(count));
  Progress progress(io, count, line.IsSet(QStringLiteral("quiet")));
  bool anyFailed = false;
  if (!json) io.out << MeasureTableHeader() << Qt::endl;
  ForEachInput(
      count, measurement.jobs,
      {.work =
           [&](int i) {
             if (!refused.isEmpty() && !refused[i].isEmpty())
               results[size_t(i)].error = refused[i];
             else
               results[size_t(i)] =
                   MeasureOne(inputs[i], lossMaps.isEmpty() ? QString() : lossMaps[i], measurement);
           },
       .finished =
           [&](int i) {
             progress.Finished(ShownPath(inputs[i]) + (results[size_t(i)].error.isEmpty()
                                                           ? QString()
                                                           : QStringLiteral(" failed")));
           },
       .inOrder =
           [&](int i) {
             Measured& result = results[size_t(i)];
             if (!result.note.isEmpty())
               ReportWarning(io, ShownPath(inputs[i]) + QStringLiteral(": ") + result.note);
             if (!result.error.isEmpty()) {
               ReportFailure(io, ShownPath(inputs[i]), result.error);
               anyFailed = true;
             } else {
               io.out << (json ? MeasureJsonLine(inputs[i], result.figures,
                                                 result.figures.budget > 0
                                                     ? std::optional(result.figures.budget)
                                                     : std::nullopt,
                                                 result.frames)
                               : MeasureTableRow(ShownPath(inputs[i]), result.figures))
                      << Qt::endl;
             }
             result = {};  // the figures are printed; their usage table need not stay
           }});
  return anyFailed ? kExitSomeFailed : kExitSuccess;
}

}  // namespace tavlo::cli
