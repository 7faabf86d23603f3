#include "cli/measure_command.h"

#include <QDir>
#include <QFileInfo>
#include <new>

#include "cli/measure_output.h"
#include "cli/parallel_inputs.h"
#include "cli/picture_input.h"
#include "cli/progress.h"
#include "cli/shared_options.h"
#include "reduction/from_image.h"
#include "reduction/loss_map.h"
#include "reduction/result_figures.h"
#include "store/atomic_file.h"

namespace tavlo::cli {
namespace {

QCommandLineOption JsonOption() {
  return QCommandLineOption(QStringLiteral("json"),
                            QStringLiteral("One JSON object a line instead of the table."));
}

QCommandLineOption ViewingOption() {
  return QCommandLineOption(
      QStringLiteral("viewing"),
      QStringLiteral("The viewing condition of the visible loss (S-CIELAB) in samples per degree "
                     "of visual angle; 60, the default, is a 96-dpi screen seen from about 60 cm."),
      QStringLiteral("PPD"));
}

QCommandLineOption LossMapOption() {
  return QCommandLineOption(
      QStringLiteral("loss-map"),
      QStringLiteral("Writes DIR/<base name>.loss.png for each picture: a 16-bit grey PNG whose "
                     "pixels are round(1000 x CIEDE2000) between the picture and the GIF."),
      QStringLiteral("DIR"));
}

// Measured pictures' options beyond the palette's.
struct MeasureOptions {
  double budget = 0;
  double viewingPpd = 0;  // 0: no visible loss
  QString lossMapDir;     // empty: no loss map
};

CommandSpec MeasureSpec() {
  return {
      .name = QStringLiteral("measure"),
      .synopsis = QStringLiteral(
          "PICTURE... --palette FILE [--range A-B] [--lossy T] [--json] [--viewing PPD]\n"
          "        [--loss-map DIR] [--jobs N] [--quiet]"),
      .summary = QStringLiteral(
          "Prints, for each picture reduced to the palette's entries by the preview's rule, the\n"
          "figures the result window shows: the size of the GIF \"Export GIF...\" would write, "
          "its\n"
          "colour table, the entries the picture uses, the mean and largest CIEDE2000 difference\n"
          "between picture and reduction and the share of pixels whose difference exceeds 1.0.\n"
          "--json adds each entry's pixel count. With --lossy T the figures are those of the GIF\n"
          "written under the loss budget T, and --json says \"lossy\": T. --json also gives\n"
          "the visible loss (S-CIELAB at --viewing PPD): its mean and share of pixels above 1.0."),
      .options = {PaletteOption(), RangeOption(), LossyOption(), JsonOption(), ViewingOption(),
                  LossMapOption(), JobsOption(), QuietOption()},
      .minimumInputs = 1,
      .example = QStringLiteral("measure icons/*.png --palette web.gpl --json"),
  };
}

struct Measured {
  ResultFigures figures;
  QString error;
};

// Writes the loss map of `input` into the options' directory; the reason when it cannot.
QString WriteLossMap(const QString& input, const ResultFigures& figures, int width, int height,
                     const MeasureOptions& options) {
  const QString path =
      QDir(options.lossMapDir)
          .filePath(QFileInfo(input).completeBaseName() + QStringLiteral(".loss.png"));
  const QByteArray png = LossMapPng(figures.pixelLoss, width, height);
  if (png.isEmpty()) return QStringLiteral("its loss map could not be encoded");
  const WriteResult written = WriteFileAtomically(path, png);
  return written ? QString()
                 : QStringLiteral("%1 could not be written: %2")
                       .arg(QDir::toNativeSeparators(path), written.error);
}

Measured MeasureOne(const QString& input, const std::vector<ColorValue>& entries,
                    const MeasureOptions& options, int threads) {
  Measured measured;
  try {
    const PictureResult picture = LoadPicture(input);
    if (!picture.ok()) return {{}, picture.error};
    const PictureColors colors = AnalyseImage(picture.image, threads);
    if (!ComputeResultFigures(colors, entries, measured.figures, nullptr, threads, nullptr,
                              options.budget, options.viewingPpd))
      return {{}, QStringLiteral("cannot be measured")};
    if (!measured.figures.gifError.isEmpty()) return {{}, measured.figures.gifError};
    if (!options.lossMapDir.isEmpty()) {
      const QString error =
          WriteLossMap(input, measured.figures, colors.width, colors.height, options);
      if (!error.isEmpty()) return {{}, error};
    }
    // Printed from here on are the figures; the pixels need not stay.
    measured.figures.written = {};
    measured.figures.pixelLoss = {};
    measured.figures.visibleLoss = {};
  } catch (const std::bad_alloc&) {
    return {{}, QStringLiteral("there is not enough memory for this picture")};
  }
  return measured;
}

}  // namespace

int RunMeasure(const QStringList& arguments, CliIo& io) {
  CommandLine line(MeasureSpec());
  if (const auto ended = line.Parse(arguments, io)) return *ended;
  int jobs = 0;
  if (const auto ended = ReadJobs(line, io, jobs)) return *ended;
  std::optional<EntryRange> range;
  if (const auto ended = ReadRange(line, io, range)) return *ended;
  std::optional<double> budget;
  if (const auto ended = ReadLossy(line, io, budget)) return *ended;
  std::vector<ColorValue> entries;
  if (const auto ended = ReadPaletteEntries(line, io, range, entries)) return *ended;
  const bool json = line.IsSet(QStringLiteral("json"));
  MeasureOptions options{budget.value_or(0), 0, line.Value(QStringLiteral("loss-map"))};
  if (json || line.IsSet(QStringLiteral("viewing"))) {
    bool ok = false;
    const QString text = line.Value(QStringLiteral("viewing"));
    options.viewingPpd = text.isEmpty() ? kDefaultViewingPpd : text.toDouble(&ok);
    if (!text.isEmpty() && (!ok || options.viewingPpd < 1 || options.viewingPpd > 1000))
      return line.UsageError(
          io,
          QStringLiteral("--viewing takes samples per degree from 1 to 1000, not '%1'.").arg(text));
  }
  if (!options.lossMapDir.isEmpty() && !QFileInfo(options.lossMapDir).isDir())
    return line.UsageError(io, QStringLiteral("--loss-map takes a directory; %1 is none.")
                                   .arg(QDir::toNativeSeparators(options.lossMapDir)));

  const QStringList inputs = line.Inputs();
  const int count = static_cast<int>(inputs.size());
  const int threads = ThreadsPerInput(count, jobs);
  std::vector<Measured> results(static_cast<size_t>(count));
  Progress progress(io, count, line.IsSet(QStringLiteral("quiet")));
  bool anyFailed = false;
  if (!json) io.out << MeasureTableHeader() << Qt::endl;
  ForEachInput(
      count, jobs,
      {.work =
           [&](int i) { results[size_t(i)] = MeasureOne(inputs[i], entries, options, threads); },
       .finished =
           [&](int i) {
             progress.Finished(ShownPath(inputs[i]) + (results[size_t(i)].error.isEmpty()
                                                           ? QString()
                                                           : QStringLiteral(" failed")));
           },
       .inOrder =
           [&](int i) {
             Measured& result = results[size_t(i)];
             if (!result.error.isEmpty()) {
               ReportFailure(io, ShownPath(inputs[i]), result.error);
               anyFailed = true;
             } else {
               io.out << (json ? MeasureJsonLine(inputs[i], result.figures, budget)
                               : MeasureTableRow(ShownPath(inputs[i]), result.figures))
                      << Qt::endl;
             }
             result = {};  // the figures are printed; their usage table need not stay
           }});
  return anyFailed ? kExitSomeFailed : kExitSuccess;
}

}  // namespace tavlo::cli
