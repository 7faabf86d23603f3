#include "cli/measure_command.h"

#include <new>

#include "cli/measure_output.h"
#include "cli/parallel_inputs.h"
#include "cli/picture_input.h"
#include "cli/progress.h"
#include "cli/shared_options.h"
#include "reduction/from_image.h"
#include "reduction/result_figures.h"

namespace tavlo::cli {
namespace {

QCommandLineOption JsonOption() {
  return QCommandLineOption(QStringLiteral("json"),
                            QStringLiteral("One JSON object a line instead of the table."));
}

CommandSpec MeasureSpec() {
  return {
      .name = QStringLiteral("measure"),
      .synopsis = QStringLiteral(
          "PICTURE... --palette FILE [--range A-B] [--lossy T] [--json] [--jobs N] [--quiet]"),
      .summary = QStringLiteral(
          "Prints, for each picture reduced to the palette's entries by the preview's rule, the\n"
          "figures the result window shows: the size of the GIF \"Export GIF...\" would write, "
          "its\n"
          "colour table, the entries the picture uses, the mean and largest CIEDE2000 difference\n"
          "between picture and reduction and the share of pixels whose difference exceeds 1.0.\n"
          "--json adds each entry's pixel count. With --lossy T the figures are those of the GIF\n"
          "written under the loss budget T, and --json says \"lossy\": T."),
      .options = {PaletteOption(), RangeOption(), LossyOption(), JsonOption(), JobsOption(),
                  QuietOption()},
      .minimumInputs = 1,
      .example = QStringLiteral("measure icons/*.png --palette web.gpl --json"),
  };
}

struct Measured {
  ResultFigures figures;
  QString error;
};

Measured MeasureOne(const QString& input, const std::vector<ColorValue>& entries, double budget,
                    int threads) {
  Measured measured;
  try {
    const PictureResult picture = LoadPicture(input);
    if (!picture.ok()) return {{}, picture.error};
    const PictureColors colors = AnalyseImage(picture.image, threads);
    if (!ComputeResultFigures(colors, entries, measured.figures, nullptr, threads, nullptr, budget))
      return {{}, QStringLiteral("cannot be measured")};
    if (!measured.figures.gifError.isEmpty()) return {{}, measured.figures.gifError};
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

  const QStringList inputs = line.Inputs();
  const int count = static_cast<int>(inputs.size());
  const int threads = ThreadsPerInput(count, jobs);
  const bool json = line.IsSet(QStringLiteral("json"));
  std::vector<Measured> results(static_cast<size_t>(count));
  Progress progress(io, count, line.IsSet(QStringLiteral("quiet")));
  bool anyFailed = false;
  if (!json) io.out << MeasureTableHeader() << Qt::endl;
  ForEachInput(count, jobs,
               {.work =
                    [&](int i) {
                      results[size_t(i)] =
                          MeasureOne(inputs[i], entries, budget.value_or(0), threads);
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
