#include "reduction/picture_colors.h"

#include "base/parallel_work.h"

#include <algorithm>
#include <bit>
#include <memory>

namespace tavlo {
namespace {

static_assert(std::endian::native == std::endian::little,
              "colour numbers are stored little endian");

// Which distinct colour a colour value is, in groups of 512 colours (the top five bits of each
// channel pick the group): groups are made when the picture first touches them, and a photo's
// neighbouring pixels mostly fall into a group just used.
class ColorNumbers {
 public:
  static constexpr std::uint32_t kUnseen = 0xFFFFFFFF;

  ColorNumbers() : groupOf_(std::make_unique<std::uint32_t[]>(kGroups)) {
    std::fill_n(groupOf_.get(), kGroups, kNoGroup);
  }

  // The number slot of a colour 0x00BBGGRR: kUnseen until the caller stores one.
  std::uint32_t& Slot(std::uint32_t rgb) {
    const std::uint32_t group = GroupIndex(rgb);
    std::uint32_t at = groupOf_[group];
    if (at == kNoGroup) {
      at = static_cast<std::uint32_t>(numbers_.size() / kGroupSize);
      numbers_.resize(numbers_.size() + kGroupSize, kUnseen);
      groupOf_[group] = at;
    }
    return numbers_[size_t{at} * kGroupSize + SpotIndex(rgb)];
  }

 private:
  static constexpr std::uint32_t kGroups = 1u << 15;
  static constexpr std::uint32_t kGroupSize = 512;
  static constexpr std::uint32_t kNoGroup = 0xFFFFFFFF;

  static std::uint32_t GroupIndex(std::uint32_t rgb) {
    return ((rgb >> 9) & 0x7C00) | ((rgb >> 6) & 0x3E0) | ((rgb >> 3) & 0x1F);
  }
  static std::uint32_t SpotIndex(std::uint32_t rgb) {
    return ((rgb >> 10) & 0x1C0) | ((rgb >> 5) & 0x38) | (rgb & 0x7);
  }

  std::unique_ptr<std::uint32_t[]> groupOf_;
  std::vector<std::uint32_t> numbers_;
};

void MeasureLab(PictureColors& colors, int threads) {
  colors.lab.resize(colors.histogram.size());
  const size_t parts =
      threads > 0 ? static_cast<size_t>(threads) : ThreadsFor(colors.lab.size(), 50000);
  RunInParts(colors.lab.size(), parts, [&](size_t begin, size_t end) {
    for (size_t i = begin; i < end; ++i) {
      const Lab lab = LabFromColor(colors.histogram[i].color);
      colors.lab[i] =
          LabFloat{static_cast<float>(lab.L), static_cast<float>(lab.a), static_cast<float>(lab.b)};
    }
  });
}

}  // namespace

size_t PictureColors::Bytes() const {
  return histogram.capacity() * sizeof(ColorCount) + lab.capacity() * sizeof(LabFloat) +
         pixelColor.capacity() + unmeasured.capacity() * sizeof(std::uint32_t);
}

PictureColors AnalysePicture(const std::uint32_t* first, int width, int height,
                             std::ptrdiff_t stride, int threads) {
  PictureColors colors;
  if (!first || width <= 0 || height <= 0) return colors;
  colors.width = width;
  colors.height = height;
  colors.pixelColor.resize(size_t(width) * size_t(height) * 3 + 1);
  ColorNumbers numbers;
  const auto* bytes = reinterpret_cast<const unsigned char*>(first);
  std::uint8_t* out = colors.pixelColor.data();
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = bytes + stride * y;
    for (int x = 0; x < width; ++x, out += 3) {
      std::uint32_t pixel;
      std::memcpy(&pixel, row + 4 * std::ptrdiff_t(x), 4);
      const ColorValue value = FromRgbPixel(pixel);
      std::uint32_t& number = numbers.Slot(static_cast<std::uint32_t>(value));
      if (number == ColorNumbers::kUnseen) {
        number = static_cast<std::uint32_t>(colors.histogram.size());
        colors.histogram.push_back({value, 0});
      }
      ++colors.histogram[number].count;
      std::memcpy(out, &number, 3);  // little endian: the low three bytes
    }
  }
  MeasureLab(colors, threads);
  return colors;
}

}  // namespace tavlo
