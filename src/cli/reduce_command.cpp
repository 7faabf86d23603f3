#include "cli/reduce_command.h"

#include <new>

#include "cli/output_files.h"
#include "cli/parallel_inputs.h"
#include "cli/picture_input.h"
#include "cli/progress.h"
#include "cli/reduction_options.h"
#include "cli/shared_options.h"
#include "cli/transparency_options.h"
#include "picture/bmp_writer.h"
#include "reduction/animated_gif.h"
#include "reduction/from_image.h"
#include "reduction/gif_encoder.h"
#include "reduction/png_encoder.h"
#include "reduction/result_figures.h"

namespace tavlo::cli {
namespace {

QCommandLineOption FormatOption() {
  return QCommandLineOption({QStringLiteral("F"), QStringLiteral("format")},
                            QStringLiteral("The output files' format: gif (the default), png or "
                                           "bmp."),
                            QStringLiteral("gif|png|bmp"), QStringLiteral("gif"));
}

QCommandLineOption OutOption() {
  return QCommandLineOption({QStringLiteral("o"), QStringLiteral("out")},
                            QStringLiteral("The folder of the output files (default: each "
                                           "picture's own folder)."),
                            QStringLiteral("DIR"));
}

CommandSpec ReduceSpec() {
  return {
      .name = QStringLiteral("reduce"),
      .synopsis = QStringLiteral("PICTURE... --palette FILE [--range A-B] [--format gif|png|bmp] "
                                 "[--lossy T] [--transparent N|none|auto] [--alpha-threshold A] "
                                 "[--matte RRGGBB] [--out DIR] [--jobs N] [--force] [--quiet]"),
      .summary = QStringLiteral(
          "Reduces each picture to the palette's entries by the preview's rule (every pixel gets\n"
          "its nearest entry, ties to the lower one) and writes it as NAME.gif, NAME.png or\n"
          "NAME.bmp, exactly as \"Export GIF...\" and \"Export PNG...\" write it: the colour "
          "table\n"
          "holds the range's entries in their order, nothing reordered or left out. A bmp is what\n"
          "the preview's bitmap export writes. --lossy T writes the GIF under a loss budget.\n"
          "With a transparent entry, the GIF and the PNG name it transparent; a bmp shows its\n"
          "colour. An animated GIF is written with all its frames, each as the rectangle that\n"
          "changed, and with --lossy T under the budget across frames (a pixel within T of what\n"
          "the frame before left on screen may keep it); a png or bmp of it holds its first\n"
          "frame."),
      .options = {PaletteOption(), RangeOption(), FormatOption(), LossyOption(),
                  TransparentOption(true), AlphaThresholdOption(), MatteOption(), OutOption(),
                  JobsOption(), ForceOption(), QuietOption()},
      .minimumInputs = 1,
      .example = QStringLiteral("reduce sprites/*.png --palette tuned.act --range 1-64 --out web"),
  };
}

enum class PictureFormat { Gif, Png, Bmp };

struct Reduction : ReductionOptions {
  PictureFormat format = PictureFormat::Gif;
  int threads = 1;  // inside each picture
  bool force = false;
};

// The bitmap of the preview: every pixel in its entry's colour.
QImage PreviewOf(const IndexedPicture& picture) {
  QImage image(picture.width, picture.height, QImage::Format_RGB32);
  const std::uint8_t* index = picture.indexes.data();
  for (int y = 0; y < picture.height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < picture.width; ++x, ++index) {
      const ColorValue color = picture.table[*index];
      row[x] = qRgb(RedOf(color), GreenOf(color), BlueOf(color));
    }
  }
  return image;
}

// `frames` tells when the picture is an animation's frames one below the other.
EncodedPicture Encode(const QImage& picture, const Reduction& reduction, QString& note,
                      const FrameTiming& frames = {}) {
  const TransparencyRule rule = RuleFor(reduction.transparency, reduction.range, picture, nullptr,
                                        reduction.entries, note, reduction.threads);
  if (reduction.format == PictureFormat::Gif && (reduction.budget > 0 || frames.Animated()))
    return EncodeImageGif(picture, reduction.entries, reduction.budget, reduction.threads, rule,
                          frames);
  const IndexedPicture indexed = ReduceImage(picture, reduction.entries, rule, reduction.threads);
  switch (reduction.format) {
    case PictureFormat::Gif:
      return EncodeGif(indexed, reduction.threads);
    case PictureFormat::Png:
      return EncodePng(indexed);
    case PictureFormat::Bmp:
      return {EncodeBmp(PreviewOf(indexed)), {}};
  }
  return {};
}

// Why the picture's output was not written, or an empty string; `note` gets what the user should
// be warned of, `merged` what became of an animation's identical frames.
QString ReduceOne(const QString& input, const QString& output, const Reduction& reduction,
                  QString& note, QString& merged) {
  try {
    const PictureResult picture = LoadPicture(input);
    if (!picture.ok()) return picture.error;
    // A GIF of an animation holds all its frames; the other formats the first.
    const AllFrames all = AllFramesOf(picture);
    const EncodedPicture encoded = reduction.format == PictureFormat::Gif
                                       ? Encode(all.pixels, reduction, note, all.timing)
                                       : Encode(picture.image, reduction, note);
    if (!encoded.ok()) return encoded.error;
    if (encoded.mergedFrames > 0) merged = MergedFramesText(encoded.mergedFrames);
    return WriteOutput(output, encoded.bytes, reduction.force);
  } catch (const std::bad_alloc&) {
    return QStringLiteral("there is not enough memory for this picture");
  }
}

QString Ending(PictureFormat format) {
  switch (format) {
    case PictureFormat::Gif:
      return QStringLiteral("gif");
    case PictureFormat::Png:
      return QStringLiteral("png");
    case PictureFormat::Bmp:
      return QStringLiteral("bmp");
  }
  return {};
}

// NAME.<ending> in `folder`, or beside the input when `folder` is empty.
}  // namespace

int RunReduce(const QStringList& arguments, CliIo& io) {
  CommandLine line(ReduceSpec());
  if (const auto ended = line.Parse(arguments, io)) return *ended;
  Reduction reduction;
  const QString format = line.Value(QStringLiteral("format")).trimmed().toLower();
  if (format == QLatin1String("png"))
    reduction.format = PictureFormat::Png;
  else if (format == QLatin1String("bmp"))
    reduction.format = PictureFormat::Bmp;
  else if (format != QLatin1String("gif"))
    return line.UsageError(io, QStringLiteral("--format takes gif, png or bmp, not '%1'.")
                                   .arg(line.Value(QStringLiteral("format"))));
  const QString lossyRefusal = reduction.format == PictureFormat::Gif
                                   ? QString()
                                   : QStringLiteral("--lossy applies to GIF output only.");
  if (const auto ended = ReadReductionOptions(line, io, lossyRefusal, reduction)) return *ended;

  const QString folder = line.Value(QStringLiteral("out"));
  if (const QString problem = OutputFolderProblem(folder); !problem.isEmpty()) {
    ReportFailure(io, ShownPath(folder), problem);
    return kExitSomeFailed;
  }
  const QStringList inputs = line.Inputs();
  QStringList outputs;
  for (const QString& input : inputs)
    outputs << OutputNamed(input, folder, QStringLiteral(".") + Ending(reduction.format));
  reduction.force = line.IsSet(QStringLiteral("force"));
  const QStringList refused = RefusedOutputs(inputs, outputs, reduction.force);
  const int count = static_cast<int>(inputs.size());
  reduction.threads = ThreadsPerInput(count, reduction.jobs);

  std::vector<QString> failures(static_cast<size_t>(count));
  std::vector<QString> notes(static_cast<size_t>(count)), merged(static_cast<size_t>(count));
  const bool quiet = line.IsSet(QStringLiteral("quiet"));
  Progress progress(io, count, quiet);
  bool anyFailed = false;
  ForEachInput(count, reduction.jobs,
               {.work =
                    [&](int i) {
                      failures[size_t(i)] = refused[i].isEmpty()
                                                ? ReduceOne(inputs[i], outputs[i], reduction,
                                                            notes[size_t(i)], merged[size_t(i)])
                                                : refused[i];
                    },
                .finished =
                    [&](int i) {
                      progress.Finished(failures[size_t(i)].isEmpty()
                                            ? ShownPath(inputs[i]) + QStringLiteral(" -> ") +
                                                  ShownPath(outputs[i])
                                            : ShownPath(inputs[i]) + QStringLiteral(" failed"));
                    },
                .inOrder =
                    [&](int i) {
                      if (!notes[size_t(i)].isEmpty())
                        ReportWarning(
                            io, ShownPath(inputs[i]) + QStringLiteral(": ") + notes[size_t(i)]);
                      if (!merged[size_t(i)].isEmpty() && !quiet)
                        io.out << ShownPath(outputs[i]) << ": " << merged[size_t(i)] << Qt::endl;
                      if (failures[size_t(i)].isEmpty()) return;
                      ReportFailure(io, ShownPath(inputs[i]), failures[size_t(i)]);
                      anyFailed = true;
                    }});
  return anyFailed ? kExitSomeFailed : kExitSuccess;
}

}  // namespace tavlo::cli
