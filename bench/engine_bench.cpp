// Google Benchmark of the preview engine: one call of the reduction, for palettes of 1, 16, 64 and
// 256 entries and pictures of 1, 8 and 33 Mpixel, on one thread and on the engine's own choice
// of threads. Each repetition reduces a fresh copy of the picture; only the call is timed.
//
// The picture: TAVLO_BENCH_RGB=path,width,height names a raw RGB photo (such as the peer
// comparison's big.rgb, 3840,2160), of which the 1-Mpixel picture is the middle 1280 x 800 and the
// 33-Mpixel one four copies side by side; otherwise a generated picture of smooth colour fields
// with noise. The palette: TAVLO_BENCH_ACT=path names a 256-colour ACT file, of which N entries
// are taken evenly spread; otherwise N colours of the picture.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "colorlib/preview_engine.h"

namespace {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

Picture Generated(int width, int height) {
  Picture picture{width, height, std::vector<uint32_t>(size_t(width) * height)};
  std::mt19937 random(1);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double u = double(x) / width, v = double(y) / height;
      auto channel = [&](double a, double b, double c) {
        const double smooth = 128 + 90 * std::sin(a * u * 6.3 + b * v * 4.1 + c);
        const int noisy = int(smooth) + int(random() % 9) - 4;
        return uint32_t(noisy < 0 ? 0 : noisy > 255 ? 255 : noisy);
      };
      picture.pixels[size_t(y) * width + x] = 0xFF000000u | channel(1.0, 0.3, 0.0) << 16 |
                                              channel(0.4, 1.2, 1.0) << 8 | channel(0.7, 0.8, 2.0);
    }
  return picture;
}

// The photo named by TAVLO_BENCH_RGB, if any.
const Picture* Photo() {
  static Picture photo;
  static bool tried = false;
  if (!tried) {
    tried = true;
    const char* named = std::getenv("TAVLO_BENCH_RGB");
    char path[4096];
    int width = 0, height = 0;
    if (named && std::sscanf(named, "%4095[^,],%d,%d", path, &width, &height) == 3 && width > 0 &&
        height > 0) {
      std::vector<unsigned char> rgb(size_t(width) * height * 3);
      if (FILE* file = std::fopen(path, "rb")) {
        if (std::fread(rgb.data(), 1, rgb.size(), file) == rgb.size()) {
          photo = {width, height, std::vector<uint32_t>(size_t(width) * height)};
          for (size_t i = 0; i < photo.pixels.size(); ++i)
            photo.pixels[i] = 0xFF000000u | uint32_t(rgb[3 * i]) << 16 |
                              uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
        }
        std::fclose(file);
      }
    }
  }
  return photo.pixels.empty() ? nullptr : &photo;
}

// A picture of about `mpix` million pixels.
const Picture& PictureOf(int mpix) {
  static std::map<int, Picture> made;
  auto found = made.find(mpix);
  if (found != made.end()) return found->second;
  Picture picture;
  const Picture* photo = Photo();
  if (mpix <= 1) {
    if (photo && photo->width >= 1280 && photo->height >= 800) {
      picture = {1280, 800, std::vector<uint32_t>(1280 * 800)};
      const int x0 = (photo->width - 1280) / 2, y0 = (photo->height - 800) / 2;
      for (int y = 0; y < 800; ++y)
        std::memcpy(&picture.pixels[size_t(y) * 1280],
                    &photo->pixels[size_t(y0 + y) * photo->width + x0], 1280 * 4);
    } else {
      picture = Generated(1280, 800);
    }
  } else if (mpix <= 8) {
    picture = photo ? *photo : Generated(3840, 2160);
  } else {
    const Picture& eight = PictureOf(8);
    picture = {eight.width * 2, eight.height * 2,
               std::vector<uint32_t>(size_t(eight.width) * eight.height * 4)};
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x)
        picture.pixels[size_t(y) * picture.width + x] =
            eight.pixels[size_t(y % eight.height) * eight.width + x % eight.width];
  }
  return made.emplace(mpix, std::move(picture)).first->second;
}

std::vector<int32_t> PaletteOf(int count, const Picture& picture) {
  std::vector<int32_t> palette;
  if (const char* path = std::getenv("TAVLO_BENCH_ACT")) {
    unsigned char act[768];
    FILE* file = std::fopen(path, "rb");
    if (file && std::fread(act, 1, 768, file) == 768) {
      for (int i = 0; i < count; ++i) {
        const int k = i * 256 / count;
        palette.push_back(act[3 * k] | act[3 * k + 1] << 8 | act[3 * k + 2] << 16);
      }
    }
    if (file) std::fclose(file);
  }
  std::mt19937 random(2);
  while (int(palette.size()) < count) {
    const uint32_t p = picture.pixels[random() % picture.pixels.size()];
    palette.push_back(int32_t((p >> 16 & 255) | (p & 0xFF00) | (p & 255) << 16));
  }
  return palette;
}

// Times one preview call per iteration on a fresh copy of the picture; the copy is not timed.
void TimePreviews(benchmark::State& state, const Picture& picture,
                  const std::vector<int32_t>& palette,
                  const tavlo::colorlib::PreviewOptions& options) {
  std::vector<uint32_t> work(picture.pixels.size());
  for (auto _ : state) {
    std::memcpy(work.data(), picture.pixels.data(), work.size() * 4);
    const auto start = std::chrono::steady_clock::now();
    tavlo::colorlib::PreviewWithOptions(work.data(), picture.width, picture.height,
                                        picture.width * 4, palette.data(), int(palette.size()),
                                        options);
    const auto stop = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
  }
  benchmark::DoNotOptimize(work.data());
}

// Arguments: palette entries, Mpixel, threads (0 = the engine's choice).
void BM_Preview(benchmark::State& state) {
  const int count = int(state.range(0));
  const Picture& picture = PictureOf(int(state.range(1)));
  const std::vector<int32_t> palette = PaletteOf(count, picture);
  tavlo::colorlib::PreviewOptions options;
  options.threads = int(state.range(2));
  TimePreviews(state, picture, palette, options);
  state.counters["Mpix/s"] =
      benchmark::Counter(double(picture.pixels.size()) / 1e6 * double(state.iterations()),
                         benchmark::Counter::kIsRate);
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->ArgNames({"entries", "mpix", "threads"});
  for (int threads : {1, 0}) {
    for (int count : {1, 16, 64, 256}) b->Args({count, 8, threads});
    b->Args({256, 1, threads});
    b->Args({256, 33, threads});
  }
}
BENCHMARK(BM_Preview)->Apply(Sizes)->UseManualTime()->Unit(benchmark::kMillisecond);

// Floyd-Steinberg on the same lookup, one thread.
void BM_PreviewDithered(benchmark::State& state) {
  const Picture& picture = PictureOf(int(state.range(1)));
  const int count = int(state.range(0));
  const std::vector<int32_t> palette = PaletteOf(count, picture);
  tavlo::colorlib::PreviewOptions options;
  options.dither = true;
  TimePreviews(state, picture, palette, options);
}
BENCHMARK(BM_PreviewDithered)
    ->ArgNames({"entries", "mpix"})
    ->Args({256, 8})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
