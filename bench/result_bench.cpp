// Benchmark of the result window's work for one edit of the palette: the figures on screen (GIF
// size, table, entries used, loss) after one entry changed, with the picture analysed beforehand
// as the window does when a picture is loaded.
//
//   tavlo_result_bench [--threads=N] [--budget=T] [--viewing=PPD] IN.rgb WIDTH HEIGHT
//                      PALETTE.act REPS
//
// Each repetition changes one entry of the palette (another one each time, by a few units of red,
// as a user tuning the palette does) and works the figures out with the loss cache of the earlier
// ones. Prints
//   ANALYSE ms=.. colours=.. bytes=..        (once per picture: histogram and CIELAB)
//   RESULT threads=.. reps=.. median_ms=.. min_ms=.. gif_bytes=.. held_bytes=..
//   PHASE name=.. median_ms=..               (parts of the work, timed one by one)
// The figures hold the file's pixels and each pixel's loss, for the comparison view; the phase
// pixel_loss is what the loss map costs of an edit. With --viewing the figures include the
// visible loss (S-CIELAB) at PPD samples per degree, and the phase visible times it alone.
// and, for the choice of encoder, the same indexes written by giflib:
//   GIFLIB median_ms=.. gif_bytes=..
#include <gif_lib.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "bench/bench_inputs.h"
#include "color_science/s_cielab.h"
#include "reduction/gif_encoder.h"
#include "reduction/nearest_entries.h"
#include "reduction/result_figures.h"

namespace {

using namespace tavlo;
using bench::Median;
constexpr const char* kProgram = "tavlo_result_bench";

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// The palette of repetition `rep`: one entry moved by a few units of red.
std::vector<ColorValue> Edited(const std::vector<ColorValue>& palette, int rep) {
  std::vector<ColorValue> edited = palette;
  const size_t entry = (size_t(rep) * 37) % edited.size();
  const int red = RedOf(edited[entry]);
  const int moved = red >= 128 ? red - 6 - rep % 5 : red + 6 + rep % 5;
  edited[entry] = MakeColor(moved, GreenOf(edited[entry]), BlueOf(edited[entry]));
  return edited;
}

int AppendToBuffer(GifFileType* gif, const GifByteType* data, int length) {
  static_cast<std::vector<unsigned char>*>(gif->UserData)
      ->insert(static_cast<std::vector<unsigned char>*>(gif->UserData)->end(), data, data + length);
  return length;
}

// The same file written by giflib, line by line, for the comparison of the encoders.
size_t GiflibGifBytes(const IndexedPicture& picture) {
  std::vector<unsigned char> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, AppendToBuffer, &error);
  const int bits = GifTableBits(static_cast<int>(picture.table.size()));
  std::vector<GifColorType> colors(size_t{1} << bits, GifColorType{0, 0, 0});
  for (size_t i = 0; i < picture.table.size(); ++i)
    colors[i] = GifColorType{static_cast<GifByteType>(RedOf(picture.table[i])),
                             static_cast<GifByteType>(GreenOf(picture.table[i])),
                             static_cast<GifByteType>(BlueOf(picture.table[i]))};
  ColorMapObject* map = GifMakeMapObject(1 << bits, colors.data());
  EGifPutScreenDesc(gif, picture.width, picture.height, 8, 0, map);
  EGifPutImageDesc(gif, 0, 0, picture.width, picture.height, false, nullptr);
  for (int y = 0; y < picture.height; ++y)
    EGifPutLine(gif, const_cast<GifPixelType*>(picture.indexes.data()) + size_t(y) * picture.width,
                picture.width);
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out.size();
}

template <typename Work>
double MedianOf(int reps, Work work) {
  std::vector<double> ms;
  for (int rep = 0; rep < reps; ++rep) {
    const auto start = std::chrono::steady_clock::now();
    work(rep);
    ms.push_back(MillisecondsSince(start));
  }
  return Median(ms);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<const char*> args;
  int threads = 0;
  double budget = 0;  // the loss budget of the window's figures
  double viewing = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--viewing=", 10) == 0) {
      viewing = std::atof(argv[i] + 10);
    } else if (std::strncmp(argv[i], "--budget=", 9) == 0) {
      budget = std::atof(argv[i] + 9);
    } else if (std::strncmp(argv[i], "--threads=", 10) == 0) {
      threads = bench::PositiveNumber(kProgram, argv[i] + 10, "--threads");
    } else {
      args.push_back(argv[i]);
    }
  }
  if (args.size() != 5)
    bench::Fail(
        kProgram,
        "usage: tavlo_result_bench [--threads=N] [--budget=T] [--viewing=PPD] IN.rgb WIDTH HEIGHT "
        "PALETTE.act REPS");
  const int width = bench::PositiveNumber(kProgram, args[1], "WIDTH");
  const int height = bench::PositiveNumber(kProgram, args[2], "HEIGHT");
  const int reps = bench::PositiveNumber(kProgram, args[4], "REPS");
  const std::vector<uint32_t> pixels =
      bench::ReadRgbPicture(kProgram, args[0], size_t(width) * size_t(height));
  const std::vector<ColorValue> palette = bench::ReadAct(kProgram, args[3]);
  const std::ptrdiff_t stride = std::ptrdiff_t{width} * 4;

  auto start = std::chrono::steady_clock::now();
  const PictureColors colors = AnalysePicture(pixels.data(), width, height, stride, threads);
  std::printf("ANALYSE ms=%.1f colours=%zu bytes=%zu\n", MillisecondsSince(start),
              colors.Distinct(), colors.Bytes());

  ResultCache cache;
  ResultFigures figures;
  ComputeResultFigures(colors, palette, figures, &cache, threads, nullptr, budget,
                       viewing);  // before any edit
  std::vector<double> ms;
  for (int rep = 0; rep < reps; ++rep) {
    const std::vector<ColorValue> edited = Edited(palette, rep);
    start = std::chrono::steady_clock::now();
    if (!ComputeResultFigures(colors, edited, figures, &cache, threads, nullptr, budget, viewing))
      bench::Fail(kProgram, "no figures");
    ms.push_back(MillisecondsSince(start));
  }
  std::vector<double> sorted = ms;
  std::sort(sorted.begin(), sorted.end());
  std::printf(
      "RESULT threads=%d budget=%.1f reps=%d median_ms=%.2f min_ms=%.2f gif_bytes=%lld "
      "held_bytes=%zu mean=%.4f max=%.4f above1=%.4f used=%d\n",
      threads, budget, reps, Median(ms), sorted.front(), static_cast<long long>(figures.GifBytes()),
      colors.Bytes() + cache.Bytes() + size_t(figures.gif.capacity()), figures.meanLoss,
      figures.maxLoss, figures.shareAboveOne, figures.entriesUsed);

  // The parts of one edit on their own: the nearest entries of the picture's colours brought up
  // to date, the GIF encoded; and the reduction by the preview engine, which the exports use.
  std::vector<uint8_t> nearest = NearestEntries(colors, palette, threads);
  std::printf("PHASE name=nearest median_ms=%.2f\n", MedianOf(reps, [&](int rep) {
                UpdateNearestEntries(colors, Edited(palette, rep), Edited(palette, rep + 1),
                                     nearest);
              }));
  IndexedPicture picture;
  std::printf("PHASE name=reduce median_ms=%.2f\n", MedianOf(reps, [&](int rep) {
                const auto edited = Edited(palette, rep);
                picture = ReducePicture(pixels.data(), width, height, stride, edited.data(),
                                        static_cast<int>(edited.size()), threads);
              }));
  std::vector<float> loss(colors.PictureSize());
  std::printf("PHASE name=pixel_loss median_ms=%.2f\n", MedianOf(reps, [&](int) {
                for (size_t p = 0; p < loss.size(); ++p)
                  loss[p] = cache.difference[colors.ColorOfPixel(p)];
              }));
  if (viewing > 0) {
    std::vector<ColorValue> original(loss.size()), written(loss.size());
    for (size_t p = 0; p < loss.size(); ++p) {
      original[p] = colors.histogram[colors.ColorOfPixel(p)].color;
      written[p] = palette[figures.written[p]];
    }
    std::printf("PHASE name=visible_both median_ms=%.2f\n", MedianOf(std::min(reps, 3), [&](int) {
                  SCielabDifferences(original, written, width, height, viewing, threads);
                }));
  }
  std::printf("PHASE name=encode median_ms=%.2f\n",
              MedianOf(reps, [&](int) { EncodeGif(picture, threads); }));
  size_t giflibBytes = 0;
  const double giflibMs =
      MedianOf(std::min(reps, 5), [&](int) { giflibBytes = GiflibGifBytes(picture); });
  std::printf("GIFLIB median_ms=%.2f gif_bytes=%zu\n", giflibMs, giflibBytes);
  return 0;
}
