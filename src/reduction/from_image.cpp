#include "reduction/from_image.h"

#include "reduction/animated_gif.h"
#include "reduction/result_figures.h"

namespace tavlo {
namespace {

// The pixels as 0xAARRGGBB, alpha not premultiplied: a shallow copy of a picture that already is
// (as loaded pictures are), a converted one otherwise.
QImage ArgbPixels(const QImage& picture) {
  return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32
                                                           : QImage::Format_RGB32);
}

const std::uint32_t* Bits(const QImage& pixels) {
  return reinterpret_cast<const std::uint32_t*>(pixels.constBits());
}

IndexedPicture Reduce(const QImage& pixels, std::span<const ColorValue> entries, int threads) {
  return ReducePicture(Bits(pixels), pixels.width(), pixels.height(), pixels.bytesPerLine(),
                       entries.data(), static_cast<int>(entries.size()), threads);
}

// Every pixel laid over the matte.
QImage OverMatte(const QImage& argb, ColorValue matte) {
  QImage over(argb.size(), QImage::Format_RGB32);
  for (int y = 0; y < argb.height(); ++y) {
    const auto* in = reinterpret_cast<const std::uint32_t*>(argb.constScanLine(y));
    auto* out = reinterpret_cast<std::uint32_t*>(over.scanLine(y));
    for (int x = 0; x < argb.width(); ++x) out[x] = ToRgbPixel(tavlo::OverMatte(in[x], matte));
  }
  return over;
}

}  // namespace

IndexedPicture ReduceImage(const QImage& picture, std::span<const ColorValue> entries,
                           const TransparencyRule& rule, int threads) {
  const std::vector<ColorValue> range(entries.begin(), entries.end());
  const int transparent = TransparentEntryIn(rule.entry, static_cast<int>(range.size()));
  const QImage pixels = ArgbPixels(picture);
  if (!pixels.hasAlphaChannel() && transparent == TransparencyRule::kNone)
    return Reduce(pixels, range, threads);
  const QImage over = pixels.hasAlphaChannel() ? OverMatte(pixels, rule.alpha.matte) : pixels;
  if (transparent == TransparencyRule::kNone) return Reduce(over, range, threads);

  const OpaqueEntries opaque = OpaqueEntriesOf(range, transparent);
  IndexedPicture reduced = Reduce(over, opaque.colors, threads);
  if (reduced.indexes.empty()) return reduced;
  std::uint8_t* index = reduced.indexes.data();
  for (int y = 0; y < pixels.height(); ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(pixels.constScanLine(y));
    for (int x = 0; x < pixels.width(); ++x, ++index)
      *index = IsClear(row[x], rule.alpha.threshold) ? static_cast<std::uint8_t>(transparent)
                                                     : opaque.positions[*index];
  }
  reduced.table = range;
  reduced.transparent = transparent;
  return reduced;
}

IndexedPicture ReduceImage(const QImage& picture, std::span<const ColorValue> entries,
                           int threads) {
  return ReduceImage(picture, entries, TransparencyRule{}, threads);
}

PictureColors AnalyseImage(const QImage& picture, const AlphaRule& alpha, int threads,
                           const FrameTiming& frames) {
  const QImage pixels = ArgbPixels(picture);
  PictureColors colors =
      AnalysePicture(Bits(pixels), pixels.width(), pixels.height(), pixels.bytesPerLine(), threads,
                     pixels.hasAlphaChannel() ? &alpha : nullptr);
  colors.alpha = alpha;
  colors.frames = frames;
  return colors;
}

PictureColors AnalyseImage(const QImage& picture, int threads) {
  return AnalyseImage(picture, AlphaRule{}, threads);
}

EncodedPicture EncodeImageGif(const QImage& picture, const std::vector<ColorValue>& entries,
                              double budget, int threads, const TransparencyRule& rule,
                              const FrameTiming& frames) {
  const int transparent = TransparentEntryIn(rule.entry, static_cast<int>(entries.size()));
  if (budget <= 0)
    return EncodeGifFrames(ReduceImage(picture, entries, rule, threads), frames, threads);
  ResultFigures figures;
  if (!ComputeResultFigures(AnalyseImage(picture, rule.alpha, threads, frames), entries,
                            transparent, figures, nullptr, threads, nullptr, budget))
    return {{}, QStringLiteral("There is no picture to write.")};
  return {std::move(figures.gif), figures.gifError, figures.mergedFrames};
}

}  // namespace tavlo
