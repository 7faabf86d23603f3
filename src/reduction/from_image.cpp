#include "reduction/from_image.h"

#include "reduction/gif_encoder.h"
#include "reduction/result_figures.h"

namespace tavlo {
namespace {

// The pixels as 0xAARRGGBB, which both functions read: a shallow copy of a picture that already
// is (as loaded pictures are), a converted one otherwise.
QImage RgbPixels(const QImage& picture) {
  return picture.convertToFormat(QImage::Format_RGB32);
}

const std::uint32_t* Bits(const QImage& pixels) {
  return reinterpret_cast<const std::uint32_t*>(pixels.constBits());
}

}  // namespace

IndexedPicture ReduceImage(const QImage& picture, std::span<const ColorValue> entries,
                           int threads) {
  const QImage pixels = RgbPixels(picture);
  return ReducePicture(Bits(pixels), pixels.width(), pixels.height(), pixels.bytesPerLine(),
                       entries.data(), static_cast<int>(entries.size()), threads);
}

PictureColors AnalyseImage(const QImage& picture, int threads, const QImage& alpha) {
  const QImage pixels = RgbPixels(picture);
  PictureColors colors =
      AnalysePicture(Bits(pixels), pixels.width(), pixels.height(), pixels.bytesPerLine(), threads);
  if (alpha.isNull() || alpha.size() != pixels.size()) return colors;
  const QImage opacity = alpha.convertToFormat(QImage::Format_Alpha8);
  colors.unmeasured.assign(colors.Distinct(), 0);
  size_t pixel = 0;
  for (int y = 0; y < opacity.height(); ++y) {
    const uchar* row = opacity.constScanLine(y);
    for (int x = 0; x < opacity.width(); ++x, ++pixel)
      if (row[x] < 255) ++colors.unmeasured[colors.ColorOfPixel(pixel)];
  }
  return colors;
}

EncodedPicture EncodeImageGif(const QImage& picture, const std::vector<ColorValue>& entries,
                              double budget, int threads) {
  if (budget <= 0) return EncodeGif(ReduceImage(picture, entries, threads), threads);
  ResultFigures figures;
  if (!ComputeResultFigures(AnalyseImage(picture, threads), entries, figures, nullptr, threads,
                            nullptr, budget))
    return {{}, QStringLiteral("There is no picture to write.")};
  return {std::move(figures.gif), figures.gifError};
}

}  // namespace tavlo
