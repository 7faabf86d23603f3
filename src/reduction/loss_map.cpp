#include "reduction/loss_map.h"

#include <QBuffer>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace tavlo {
namespace {

QRgb Mix(QRgb from, QRgb to, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  auto channel = [t](int a, int b) { return int(std::lround(float(a) + float(b - a) * t)); };
  return qRgb(channel(qRed(from), qRed(to)), channel(qGreen(from), qGreen(to)),
              channel(qBlue(from), qBlue(to)));
}

// The picture's lightness at half contrast, around the middle.
int HalfContrastGrey(ColorValue c) {
  const int luma = (RedOf(c) * 299 + GreenOf(c) * 587 + BlueOf(c) * 114) / 1000;
  return 64 + luma / 2;
}

constexpr QRgb kGreyedOut = 0xFFC0C0C0;
constexpr QRgb kTint = 0xFFB4D2FF;  // a pale blue, apart from the warm colours above it
constexpr QRgb kYellow = 0xFFFFE600, kOrange = 0xFFFF8C00;
constexpr QRgb kRed = 0xFFFF2000, kDeepRed = 0xFF780000;

}  // namespace

QRgb LossMapColor(float loss, ColorValue original, bool onlyAboveOne) {
  if (onlyAboveOne && loss <= kNoticed) return kGreyedOut;
  if (loss <= kNoticed) {
    const int grey = HalfContrastGrey(original);
    const QRgb picture = qRgb(grey, grey, grey);
    return loss <= kTintFrom ? picture : Mix(picture, kTint, 0.6f);
  }
  if (loss <= kJustNoticeable)
    return Mix(kYellow, kOrange, (loss - kNoticed) / (kJustNoticeable - kNoticed));
  return Mix(kRed, kDeepRed, (loss - kJustNoticeable) / (kDeepest - kJustNoticeable));
}

std::vector<LossBlock> BlocksByLoss(std::span<const float> loss, int width, int height, int size) {
  std::vector<LossBlock> blocks;
  if (size < 1 || loss.size() != size_t(width) * size_t(height)) return blocks;
  for (int top = 0; top < height; top += size)
    for (int left = 0; left < width; left += size) {
      const int right = std::min(width, left + size), bottom = std::min(height, top + size);
      double sum = 0;
      for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) sum += loss[size_t(y) * width + x];
      blocks.push_back({left, top, sum / double((right - left) * (bottom - top))});
    }
  std::stable_sort(blocks.begin(), blocks.end(),
                   [](const LossBlock& a, const LossBlock& b) { return a.mean > b.mean; });
  return blocks;
}

QByteArray LossMapPng(const std::vector<float>& loss, int width, int height) {
  QImage map(width, height, QImage::Format_Grayscale16);
  if (map.isNull() || loss.size() != size_t(width) * size_t(height)) return {};
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<quint16*>(map.scanLine(y));
    for (int x = 0; x < width; ++x)
      row[x] = quint16(std::min(65535.0, std::round(1000.0 * loss[size_t(y) * width + x])));
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  return map.save(&buffer, "PNG") ? bytes : QByteArray();
}

}  // namespace tavlo
