// Command-line bench of the preview engine, called the way the peer comparison calls every
// program under test:
//
//   tavlo_remap_bench [--threads=N] IN.rgb WIDTH HEIGHT PALETTE.act REPS none|fs OUT.rgb
//
// Reads a raw RGB picture and a 768-byte (or 772-byte, with a count) ACT palette, turns the picture
// into 32-bit pixels as the program holds them, and times only the reduction, REPS times, each on
// a fresh copy of the picture. Prints one line
//   RESULT variant=tavlo-none threads=.. pixels=.. reps=.. median_ms=.. min_ms=.. mpix_s=..
// and writes the last result as raw RGB to OUT.rgb. Threads: --threads=N, else OMP_NUM_THREADS
// (how the comparison asks every peer for one thread), else the engine's own choice.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_inputs.h"
#include "colorlib/preview_engine.h"

namespace {

constexpr const char* kProgram = "tavlo_remap_bench";

[[noreturn]] void Fail(const std::string& message) {
  tavlo::bench::Fail(kProgram, message);
}

int PositiveNumber(const char* text, const char* what) {
  return tavlo::bench::PositiveNumber(kProgram, text, what);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<const char*> args;
  int threads = 0;
  if (const char* omp = std::getenv("OMP_NUM_THREADS"); omp && *omp)
    threads = PositiveNumber(omp, "OMP_NUM_THREADS");
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--threads=", 10) == 0) {
      threads = PositiveNumber(argv[i] + 10, "--threads");
    } else {
      args.push_back(argv[i]);
    }
  }
  if (args.size() != 7)
    Fail(
        "usage: tavlo_remap_bench [--threads=N] IN.rgb WIDTH HEIGHT PALETTE.act REPS none|fs "
        "OUT.rgb");
  const int width = PositiveNumber(args[1], "WIDTH");
  const int height = PositiveNumber(args[2], "HEIGHT");
  const int reps = PositiveNumber(args[4], "REPS");
  const std::string mode = args[5];
  if (mode != "none" && mode != "fs") Fail("mode must be none or fs");
  const size_t pixels = size_t{static_cast<size_t>(width)} * height;

  const std::vector<uint32_t> source = tavlo::bench::ReadRgbPicture(kProgram, args[0], pixels);
  std::vector<int32_t> palette = tavlo::bench::ReadAct(kProgram, args[3]);
  const auto count = static_cast<int32_t>(palette.size());
  std::vector<uint32_t> work(pixels);

  tavlo::colorlib::PreviewOptions options;
  options.threads = threads;
  options.dither = mode == "fs";
  std::vector<double> ms;
  int ran = 0;
  for (int rep = 0; rep < reps; ++rep) {
    std::memcpy(work.data(), source.data(), pixels * 4);
    const auto start = std::chrono::steady_clock::now();
    ran = tavlo::colorlib::PreviewWithOptions(work.data(), width, height, width * 4, palette.data(),
                                              count, options);
    const auto stop = std::chrono::steady_clock::now();
    ms.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
  }
  std::vector<double> sorted = ms;
  std::sort(sorted.begin(), sorted.end());
  const size_t mid = sorted.size() / 2;
  const double median = sorted.size() % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
  std::printf(
      "RESULT variant=tavlo-%s threads=%d pixels=%zu reps=%d median_ms=%.3f min_ms=%.3f "
      "mpix_s=%.2f\n",
      mode.c_str(), ran, pixels, reps, median, sorted.front(), double(pixels) / 1e3 / median);

  std::vector<unsigned char> out(pixels * 3);
  for (size_t i = 0; i < pixels; ++i) {
    out[3 * i] = static_cast<unsigned char>(work[i] >> 16);
    out[3 * i + 1] = static_cast<unsigned char>(work[i] >> 8);
    out[3 * i + 2] = static_cast<unsigned char>(work[i]);
  }
  FILE* file = std::fopen(args[6], "wb");
  if (!file || std::fwrite(out.data(), 1, out.size(), file) != out.size())
    Fail("cannot write output");
  std::fclose(file);
  return 0;
}
