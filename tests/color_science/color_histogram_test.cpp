// The histogram against a plain count, over picture layouts (stride, padding, odd widths) and
// thread counts that change how rows are split between the workers' tables.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <vector>

#include "color_science/color_histogram.h"

namespace tavlo::testing {
namespace {

struct Picture {
  int width;
  int height;
  std::ptrdiff_t stride;
  std::vector<unsigned char> bytes;

  Picture(int w, int h, std::ptrdiff_t strideBytes)
      : width(w), height(h), stride(strideBytes), bytes(size_t(strideBytes) * size_t(h), 0x5A) {}
  void Set(int x, int y, std::uint32_t pixel) {
    std::memcpy(bytes.data() + stride * y + 4 * x, &pixel, 4);
  }
  const std::uint32_t* First() const {
    return reinterpret_cast<const std::uint32_t*>(bytes.data());
  }
};

std::vector<ColorCount> PlainCount(const Picture& picture) {
  std::map<ColorValue, std::uint32_t> counts;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      std::uint32_t pixel;
      std::memcpy(&pixel, picture.bytes.data() + picture.stride * y + 4 * x, 4);
      ++counts[FromRgbPixel(pixel)];
    }
  std::vector<ColorCount> out;
  for (const auto& [color, count] : counts) out.push_back({color, count});
  return out;
}

// Random pixels drawn from `distinct` colours, in runs, with random alpha bytes.
Picture RandomPicture(int width, int height, std::ptrdiff_t stride, int distinct,
                      std::mt19937& random) {
  std::vector<std::uint32_t> colors(static_cast<size_t>(distinct));
  for (auto& c : colors) c = static_cast<std::uint32_t>(random());
  Picture picture(width, height, stride);
  std::uint32_t current = colors[0];
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (random() % 4 == 0) current = colors[random() % colors.size()];
      picture.Set(x, y, (current & 0xFFFFFF) | static_cast<std::uint32_t>(random() << 24));
    }
  return picture;
}

TEST(CountColors, AgreesWithAPlainCountForAnyLayoutAndThreads) {
  std::mt19937 random(14);
  struct Case {
    int width, height;
    std::ptrdiff_t stride;
    int distinct;
  };
  for (const Case c : {Case{1, 1, 4, 1}, Case{7, 5, 36, 3}, Case{333, 71, 1340, 50},
                       Case{640, 480, 2560, 100000}, Case{1, 3000, 8, 2000}}) {
    const Picture picture = RandomPicture(c.width, c.height, c.stride, c.distinct, random);
    const auto expected = PlainCount(picture);
    for (int threads : {0, 1, 2, 5}) {
      const ColorHistogram histogram =
          CountColors(picture.First(), picture.width, picture.height, picture.stride, threads);
      EXPECT_EQ(histogram.pixels, std::uint64_t(c.width) * std::uint64_t(c.height));
      EXPECT_TRUE(histogram.colors == expected)
          << c.width << "x" << c.height << " threads " << threads << ": " << histogram.colors.size()
          << " colours, expected " << expected.size();
    }
  }
}

TEST(CountColors, ManyColorsAcrossTheWholeCubeInOrder) {
  // Four million colours, a picture of its own kind: the tables grow many times over and the
  // sort sees every bit of the colour value.
  constexpr int kSide = 2048;
  Picture picture(kSide, kSide, kSide * 4);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x)
      picture.Set(x, y, static_cast<std::uint32_t>((kSide * y + x) * 4 + 0xFF000003));
  const ColorHistogram histogram = CountColors(picture.First(), kSide, kSide, picture.stride, 2);
  ASSERT_EQ(histogram.colors.size(), size_t{kSide} * kSide);
  for (size_t i = 1; i < histogram.colors.size(); ++i) {
    if (histogram.colors[i - 1].color >= histogram.colors[i].color ||
        histogram.colors[i].count != 1) {
      ADD_FAILURE() << "entry " << i;
      break;
    }
  }
}

TEST(CountColors, AnEmptyPictureHasNoColors) {
  const std::uint32_t pixel = 0;
  EXPECT_TRUE(CountColors(&pixel, 0, 5, 4).colors.empty());
  EXPECT_TRUE(CountColors(nullptr, 3, 3, 12).colors.empty());
}

}  // namespace
}  // namespace tavlo::testing
