// The loss budget across an animation's frames: a noisy animation gets smaller, giflib composes
// every frame to the pixels the figures describe, and no pixel of any frame ends further from its
// colour than max(T, its exact loss), with or without a transparent entry; the frames' bytes
// add up.
#include <gtest/gtest.h>

#include <random>

#include "color_science/ciede2000.h"
#include "color_science/cielab.h"
#include "picture/gif_frames.h"
#include "reduction/from_image.h"
#include "reduction/result_figures.h"

namespace tavlo::testing {
namespace {

constexpr int kWidth = 40, kHeight = 30, kFrames = 4;

// One gradient in every frame, each with noise of its own: what a video's still background does.
// With `clear`, a clear band moves across the frames, so that pixels turn clear and back.
QImage NoisyFrames(bool clear) {
  QImage frames(kWidth, kFrames * kHeight, QImage::Format_ARGB32);
  std::mt19937 random(25);
  for (int y = 0; y < frames.height(); ++y)
    for (int x = 0; x < kWidth; ++x) {
      const auto noisy = [&](int value) {
        return std::clamp(value + int(random() % 7) - 3, 0, 255);
      };
      const bool inBand = clear && x / 4 == y / kHeight + 2;
      frames.setPixel(x, y,
                      qRgba(noisy(x * 6), noisy((y % kHeight) * 8), noisy(128), inBand ? 0 : 255));
    }
  return frames;
}

std::vector<ColorValue> GridEntries() {
  std::vector<ColorValue> entries;
  for (int r = 0; r < 8; ++r)
    for (int g = 0; g < 8; ++g)
      for (const int b : {112, 144}) entries.push_back(MakeColor(16 + 32 * r, 16 + 32 * g, b));
  return entries;
}

// giflib's composed frames are the pixels the figures describe (clear where the picture is),
// none further from its colour than max(T, its exact loss); the frames' bytes and loss add up.
void ExpectWithinBudget(const QImage& frames, const std::vector<ColorValue>& entries,
                        const ResultFigures& exact, const ResultFigures& budgeted, double budget) {
  const GifFrames decoded = DecodeGifFrames(budgeted.gif, 1 << 20);
  ASSERT_EQ(decoded.count, kFrames) << decoded.error.toStdString();
  double lossSum = 0;
  for (int y = 0; y < frames.height(); ++y)
    for (int x = 0; x < kWidth; ++x) {
      const size_t p = size_t(y * kWidth + x);
      const QRgb shown = decoded.frames.pixel(x, y), original = frames.pixel(x, y);
      ASSERT_EQ(qAlpha(shown), qAlpha(original)) << x << ',' << y;
      if (qAlpha(original) == 0) continue;
      ASSERT_EQ(FromRgbPixel(shown), entries[budgeted.written[p]]) << x << ',' << y;
      const double loss =
          Ciede2000(LabFromColor(FromRgbPixel(original)), LabFromColor(FromRgbPixel(shown)));
      ASSERT_LE(loss, std::max<double>(budget, exact.pixelLoss[p]) + 1e-4) << x << ',' << y;
      lossSum += loss;
    }
  EXPECT_NEAR(budgeted.meanLoss, lossSum / double(budgeted.Measured()), 1e-3);

  ASSERT_EQ(budgeted.frames.size(), size_t(kFrames));
  std::int64_t frameBytes = 0;
  for (const ResultFigures::Frame& frame : budgeted.frames) frameBytes += frame.bytes;
  EXPECT_LT(frameBytes, budgeted.GifBytes());
  EXPECT_GT(frameBytes, budgeted.GifBytes() - 3 * 256 - 64);  // the header, table and loop
}

TEST(AnimationBudgetTest, FramesKeepWhatIsShownWithinTheBudget) {
  constexpr double kBudget = 3;
  for (const bool clear : {false, true}) {
    SCOPED_TRACE(clear ? "with a transparent entry" : "opaque");
    const QImage frames = NoisyFrames(clear);
    const FrameTiming timing{kFrames, {100, 100, 100, 100}, 0};
    const PictureColors colors = AnalyseImage(frames, AlphaRule{}, 0, timing);
    std::vector<ColorValue> entries = GridEntries();
    const int transparent = clear ? int(entries.size()) : TransparencyRule::kNone;
    if (clear) entries.push_back(kWhiteColor);
    ResultFigures exact, budgeted;
    ASSERT_TRUE(ComputeResultFigures(colors, entries, transparent, exact));
    ASSERT_TRUE(
        ComputeResultFigures(colors, entries, transparent, budgeted, nullptr, 0, nullptr, kBudget));
    EXPECT_LT(budgeted.GifBytes(), exact.GifBytes());
    ExpectWithinBudget(frames, entries, exact, budgeted, kBudget);
  }
}

}  // namespace
}  // namespace tavlo::testing
