// The program behind Tavlo's rows of the palette comparison (run_palette_comparison.sh).
//
//   tavlo_palette_bench quantize IN.rgb WIDTH HEIGHT N REPS OUT.act [--threads=T]
//       "Palette from picture": the picture's histogram and a palette of at most N colours,
//       timed together REPS times; writes the palette (count x RGB) to OUT.act.
//       Prints: RESULT peer=tavlo colors=.. median_ms=.. min_ms=..
//   tavlo_palette_bench range IN.rgb WIDTH HEIGHT PALETTE.act REPS OP [ARG] [--threads=T]
//       A range operation of the Optimize menu on all entries of PALETTE.act: OP is "remove"
//       ("Remove unused entries"), "merge" with the threshold ARG ("Merge near colours") or
//       "reduce" with the target ARG ("Reduce to target", e.g. "<= 150000" or "<= 5 %"). Times
//       the picture's histogram and the operation together REPS times.
//       Prints: RESULT op=.. kept=.. median_ms=.. min_ms=.. [gif_encodes=..]
//   tavlo_palette_bench measure IN.rgb WIDTH HEIGHT PALETTE.act
//       The figures of the picture reduced to the palette (any count x RGB) by the preview's rule
//       (nearest entry by squared RGB distance, ties to the lower index), exactly as the result
//       window shows them, with the size of the GIF that Tavlo writes.
//       Prints: FIGURES mean=.. above_one=.. used=.. gif_bytes=..
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "quantize/palette_from_histogram.h"
#include "quantize/reduce_to_target.h"
#include "reduction/gif_encoder.h"
#include "reduction/indexed_picture.h"
#include "reduction/picture_colors.h"
#include "reduction/result_figures.h"

namespace {

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "tavlo_palette_bench: %s\n", message.c_str());
  std::exit(2);
}

std::vector<unsigned char> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot open " + path);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The raw RGB picture as 0xFFRRGGBB pixels.
std::vector<std::uint32_t> ReadPicture(const std::string& path, int width, int height) {
  const std::vector<unsigned char> rgb = ReadAll(path);
  const std::size_t pixels = std::size_t(width) * std::size_t(height);
  if (rgb.size() != pixels * 3) Fail("input size is not WIDTH*HEIGHT*3");
  std::vector<std::uint32_t> picture(pixels);
  for (std::size_t i = 0; i < pixels; ++i)
    picture[i] = 0xFF000000u | std::uint32_t(rgb[3 * i]) << 16 |
                 std::uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
  return picture;
}

std::vector<tavlo::ColorValue> ReadPalette(const std::string& path) {
  const std::vector<unsigned char> act = ReadAll(path);
  if (act.empty() || act.size() % 3 != 0 || act.size() > 768) Fail("bad palette " + path);
  std::vector<tavlo::ColorValue> palette;
  for (std::size_t k = 0; k < act.size(); k += 3)
    palette.push_back(tavlo::MakeColor(act[k], act[k + 1], act[k + 2]));
  return palette;
}

int Quantize(char** argv, int threads) {
  const int width = std::atoi(argv[3]), height = std::atoi(argv[4]);
  const int count = std::atoi(argv[5]), reps = std::max(1, std::atoi(argv[6]));
  const std::vector<std::uint32_t> picture = ReadPicture(argv[2], width, height);
  std::vector<double> ms;
  std::vector<tavlo::ColorValue> palette;
  for (int rep = 0; rep < reps; ++rep) {
    const auto start = std::chrono::steady_clock::now();
    const tavlo::PictureColors colors =
        tavlo::AnalysePicture(picture.data(), width, height, std::ptrdiff_t(width) * 4, threads);
    palette = tavlo::PaletteFromHistogram(colors.histogram, count, {.threads = threads});
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count());
  }
  std::sort(ms.begin(), ms.end());
  std::ofstream out(argv[7], std::ios::binary);
  for (tavlo::ColorValue c : palette) {
    const char rgb[3] = {char(tavlo::RedOf(c)), char(tavlo::GreenOf(c)), char(tavlo::BlueOf(c))};
    out.write(rgb, 3);
  }
  if (!out.flush()) Fail("cannot write palette");
  std::printf("RESULT peer=tavlo colors=%zu median_ms=%.3f min_ms=%.3f\n", palette.size(),
              ms[ms.size() / 2], ms[0]);
  return 0;
}

// One range operation on all entries of `palette`; the number of GIFs made, into `encodes`.
tavlo::RangeEdit RunRangeOperation(const std::string& op, const std::string& arg,
                                   const std::vector<std::uint32_t>& picture, int width, int height,
                                   const std::vector<tavlo::ColorValue>& palette, int threads,
                                   int& encodes) {
  const std::vector<tavlo::ColorCount> histogram =
      tavlo::AnalysePicture(picture.data(), width, height, std::ptrdiff_t(width) * 4, threads)
          .histogram;
  tavlo::PaletteColors colors{};
  std::copy(palette.begin(), palette.end(), colors.begin());
  const tavlo::EntryRange range{0, static_cast<int>(palette.size()) - 1};
  if (op == "remove") return tavlo::RemoveUnusedEntries(colors, range, histogram);
  if (op == "merge") return tavlo::MergeNearColors(colors, range, histogram, std::stod(arg));
  const auto target = tavlo::ReductionTarget::Parse(arg);
  if (op != "reduce" || !target) Fail("unknown range operation " + op + " " + arg);
  const tavlo::ReductionOutcome outcome = tavlo::ReduceToTarget(
      colors, range, histogram, *target,
      [&](const std::vector<tavlo::ColorValue>& entries) {
        ++encodes;
        return static_cast<std::uint64_t>(
            tavlo::EncodeGif(tavlo::ReducePicture(picture.data(), width, height,
                                                  std::ptrdiff_t(width) * 4, entries.data(),
                                                  static_cast<int>(entries.size())))
                .bytes.size());
      },
      threads);
  return outcome.edit;
}

int Range(int argc, char** argv, int threads) {
  const int width = std::atoi(argv[3]), height = std::atoi(argv[4]);
  const std::vector<std::uint32_t> picture = ReadPicture(argv[2], width, height);
  const std::vector<tavlo::ColorValue> palette = ReadPalette(argv[5]);
  const int reps = std::max(1, std::atoi(argv[6]));
  const std::string op = argv[7], arg = argc > 8 ? argv[8] : "";
  std::vector<double> ms;
  tavlo::RangeEdit edit;
  int encodes = 0;
  for (int rep = 0; rep < reps; ++rep) {
    encodes = 0;
    const auto start = std::chrono::steady_clock::now();
    edit = RunRangeOperation(op, arg, picture, width, height, palette, threads, encodes);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count());
  }
  std::sort(ms.begin(), ms.end());
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a of the palette, to compare runs
  for (tavlo::ColorValue c : edit.colors) hash = (hash ^ c) * 1099511628211ull;
  std::printf("RESULT op=%s kept=%d median_ms=%.3f min_ms=%.3f gif_encodes=%d palette=%016llx\n",
              op.c_str(), edit.kept, ms[ms.size() / 2], ms[0], encodes,
              static_cast<unsigned long long>(hash));
  return 0;
}

int Measure(char** argv) {
  const int width = std::atoi(argv[3]), height = std::atoi(argv[4]);
  const std::vector<std::uint32_t> picture = ReadPicture(argv[2], width, height);
  const std::ptrdiff_t stride = std::ptrdiff_t(width) * 4;
  const tavlo::PictureColors colors = tavlo::AnalysePicture(picture.data(), width, height, stride);
  tavlo::ResultFigures figures;
  if (!tavlo::ComputeResultFigures(colors, ReadPalette(argv[5]), figures)) Fail("no figures");
  std::printf("FIGURES mean=%.4f above_one=%.4f used=%d gif_bytes=%lld\n", figures.meanLoss,
              figures.shareAboveOne * 100, figures.entriesUsed,
              static_cast<long long>(figures.GifBytes()));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int threads = 0;
  if (argc > 1 && std::string(argv[argc - 1]).rfind("--threads=", 0) == 0)
    threads = std::atoi(argv[--argc] + 10);
  if (argc == 8 && std::string(argv[1]) == "quantize") return Quantize(argv, threads);
  if (argc == 6 && std::string(argv[1]) == "measure") return Measure(argv);
  if ((argc == 8 || argc == 9) && std::string(argv[1]) == "range")
    Fail(
        "usage: quantize IN.rgb WIDTH HEIGHT N REPS OUT.act [--threads=T] | range IN.rgb WIDTH "
        "HEIGHT PALETTE.act REPS remove|merge T|reduce TARGET [--threads=T] | measure IN.rgb WIDTH "
        "HEIGHT PALETTE.act");
}
