// The loss-budget encoder on one picture: the exact GIF and the budgeted GIFs for the budgets
// given, with their sizes, Tavlo's own loss figures and the time of each part.
//
//   tavlo_lossy_bench PICTURE PALETTE.act OUTDIR T... [--threads=N] [--reps=N]
//
// Writes OUTDIR/exact.gif and OUTDIR/T<budget>.gif. Prints per GIF
//   GIF budget=.. bytes=.. mean=.. max=.. above1=.. allowed_ms=.. choose_ms=.. encode_ms=..
// and the exact figures' time (the result window's update without a budget):
//   EXACT bytes=.. figures_ms=..
// BUDGET_* environment variables tune the choice (see BudgetTuning).
#include <QFile>
#include <QImage>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "bench/bench_inputs.h"
#include "reduction/allowed_entries.h"
#include "reduction/budget_encoder.h"
#include "reduction/gif_encoder.h"
#include "reduction/result_figures.h"
#include "support/blurred_loss.h"

namespace {

using namespace tavlo;
constexpr const char* kProgram = "tavlo_lossy_bench";

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

double CpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The best wall-clock time of `reps` runs; `cpu` gets the best processor time (all threads).
template <typename Work>
double BestOf(int reps, Work work, double* cpu = nullptr) {
  double best = 1e300, bestCpu = 1e300;
  for (int rep = 0; rep < reps; ++rep) {
    const auto start = std::chrono::steady_clock::now();
    const double startCpu = CpuMilliseconds();
    work();
    best = std::min(best, MillisecondsSince(start));
    bestCpu = std::min(bestCpu, CpuMilliseconds() - startCpu);
  }
  if (cpu) *cpu = bestCpu;
  return best;
}

void Write(const std::string& path, const QByteArray& bytes) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
    bench::Fail(kProgram, "cannot write " + path);
}

std::vector<ColorValue> Colors(const QImage& picture) {
  std::vector<ColorValue> colors;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) colors.push_back(FromRgbPixel(picture.pixel(x, y)));
  return colors;
}

// The colours of a GIF as Qt decodes it.
std::vector<ColorValue> Decoded(const QByteArray& gif) {
  return Colors(QImage::fromData(gif, "GIF").convertToFormat(QImage::Format_RGB32));
}

double EnvNumber(const char* name, double fallback) {
  const char* text = std::getenv(name);
  return text ? std::atof(text) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<const char*> args;
  int threads = 0, reps = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--threads=", 10) == 0)
      threads = bench::PositiveNumber(kProgram, argv[i] + 10, "--threads");
    else if (std::strncmp(argv[i], "--reps=", 7) == 0)
      reps = bench::PositiveNumber(kProgram, argv[i] + 7, "--reps");
    else
      args.push_back(argv[i]);
  }
  if (args.size() < 4)
    bench::Fail(kProgram, "usage: tavlo_lossy_bench PICTURE PALETTE.act OUTDIR T... [--threads=N]");
  const QImage picture =
      QImage(QString::fromLocal8Bit(args[0])).convertToFormat(QImage::Format_RGB32);
  if (picture.isNull()) bench::Fail(kProgram, std::string("cannot read ") + args[0]);
  const std::vector<ColorValue> palette = bench::ReadAct(kProgram, args[1]);
  const std::string out = args[2];
  BudgetTuning tuning;
  tuning.lossWeight = EnvNumber("BUDGET_LAMBDA", tuning.lossWeight);
  tuning.targetWeight = EnvNumber("BUDGET_MU", tuning.targetWeight);
  tuning.largestError = EnvNumber("BUDGET_CLAMP", tuning.largestError);
  tuning.falloff = EnvNumber("BUDGET_FALLOFF", tuning.falloff);
  tuning.keptBelow = EnvNumber("BUDGET_KEEP0", tuning.keptBelow);
  tuning.keptFalloff = EnvNumber("BUDGET_KEEPQ", tuning.keptFalloff);
  tuning.noReward = EnvNumber("BUDGET_NOREWARD", 0) != 0;
  tuning.searchSteps = static_cast<int>(EnvNumber("BUDGET_STEPS", tuning.searchSteps));

  const PictureColors colors =
      AnalysePicture(reinterpret_cast<const std::uint32_t*>(picture.constBits()), picture.width(),
                     picture.height(), picture.bytesPerLine(), threads);
  ResultCache cache;
  ResultFigures figures;
  ComputeResultFigures(colors, palette, figures, &cache, threads);
  const double figuresMs =
      BestOf(reps, [&] { ComputeResultFigures(colors, palette, figures, &cache, threads); });
  Write(out + "/exact.gif", figures.gif);
  const std::vector<ColorValue> original = Colors(picture);
  std::printf("EXACT bytes=%lld mean=%.4f max=%.4f above1=%.4f figures_ms=%.2f\n",
              static_cast<long long>(figures.GifBytes()), figures.meanLoss, figures.maxLoss,
              figures.shareAboveOne, figuresMs);

  for (size_t i = 3; i < args.size(); ++i) {
    const double budget = std::atof(args[i]);
    AllowedEntries allowed;
    const double allowedMs = BestOf(reps, [&] {
      FindAllowedEntries(colors, palette, cache.nearest, cache.difference, budget, allowed,
                         threads);
    });
    BudgetedGif gif;
    double encodeCpu = 0;
    const double encodeMs = BestOf(
        reps,
        [&] { EncodeGifWithinBudget(colors, palette, allowed, gif, threads, nullptr, tuning); },
        &encodeCpu);
    Write(out + "/T" + args[i] + ".gif", gif.gif);
    const double blurred =
        std::getenv("BUDGET_BLUR")
            ? testing::BlurredLoss(original, Decoded(gif.gif), picture.width(), picture.height())
            : 0;
    const double pixels = double(colors.PictureSize());
    std::printf(
        "GIF budget=%s bytes=%lld mean=%.4f blurred=%.4f max=%.4f above1=%.4f "
        "allowed_per_colour=%.2f allowed_ms=%.2f encode_ms=%.2f encode_cpu_ms=%.2f\n",
        args[i], static_cast<long long>(gif.gif.size()), gif.lossSum / pixels, blurred, gif.maxLoss,
        double(gif.aboveOne) / pixels, double(allowed.entry.size()) / double(colors.Distinct()),
        allowedMs, encodeMs, encodeCpu);
    std::fflush(stdout);
  }
  return 0;
}
