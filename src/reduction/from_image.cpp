#include "reduction/from_image.h"

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

PictureColors AnalyseImage(const QImage& picture, int threads) {
  const QImage pixels = RgbPixels(picture);
  return AnalysePicture(Bits(pixels), pixels.width(), pixels.height(), pixels.bytesPerLine(),
                        threads);
}

}  // namespace tavlo
