// A picture's colours and the nearest entry of each, against plain per-pixel computations: every
// pixel names its own colour, the counts are the pixels', and the nearest entries kept up to date
// edit by edit are always those of a plain search.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <vector>

#include "colorlib/nearest_brute_force.h"
#include "reduction/nearest_entries.h"
#include "reduction/picture_colors.h"

namespace tavlo::testing {
namespace {

QImage NoisyPicture(int width, int height, int colors, std::mt19937& random) {
  std::vector<QRgb> choice(static_cast<size_t>(colors));
  for (auto& c : choice) c = 0xFF000000u | (random() & 0xFFFFFF);
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, choice[random() % choice.size()]);
  return image;
}

PictureColors Analyse(const QImage& image) {
  return AnalysePicture(reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(),
                        image.height(), image.bytesPerLine());
}

TEST(AnalysePicture, EveryPixelNamesItsColorInTheOrderOfFirstPixels) {
  std::mt19937 random(21);
  for (int colors : {1, 300, 20000}) {
    const QImage image = NoisyPicture(173, 91, colors, random);
    const PictureColors analysed = Analyse(image);
    std::map<ColorValue, std::uint32_t> counted;
    std::uint32_t highestSoFar = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const std::uint32_t id = analysed.ColorOfPixel(size_t(y) * 173 + size_t(x));
        ASSERT_LT(id, analysed.Distinct());
        ASSERT_EQ(analysed.histogram[id].color, FromRgbPixel(image.pixel(x, y)));
        ASSERT_LE(id, highestSoFar + (x + y > 0 ? 1 : 0)) << "a colour seen before its first pixel";
        highestSoFar = std::max(highestSoFar, id);
        ++counted[analysed.histogram[id].color];
      }
    ASSERT_EQ(analysed.Distinct(), counted.size());
    for (size_t i = 0; i < analysed.Distinct(); ++i)
      EXPECT_EQ(analysed.histogram[i].count, counted[analysed.histogram[i].color]);
  }
}

// The histogram against a plain count, over picture layouts (stride, padding, odd widths) and
// thread counts.
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

std::vector<ColorCount> Sorted(std::vector<ColorCount> histogram) {
  std::ranges::sort(histogram, {}, &ColorCount::color);
  return histogram;
}

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

TEST(AnalysePicture, AgreesWithAPlainCountForAnyLayoutAndThreads) {
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
      const PictureColors analysed =
          AnalysePicture(picture.First(), picture.width, picture.height, picture.stride, threads);
      EXPECT_EQ(analysed.PictureSize(), std::uint64_t(c.width) * std::uint64_t(c.height));
      EXPECT_TRUE(Sorted(analysed.histogram) == expected)
          << c.width << "x" << c.height << " threads " << threads << ": "
          << analysed.histogram.size() << " colours, expected " << expected.size();
    }
  }
}

TEST(AnalysePicture, ManyColorsAcrossTheWholeCubeInOrder) {
  // Four million colours, a picture of its own kind: the tables grow many times over and every
  // bit of the colour value counts.
  constexpr int kSide = 2048;
  Picture picture(kSide, kSide, kSide * 4);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x)
      picture.Set(x, y, static_cast<std::uint32_t>((kSide * y + x) * 4 + 0xFF000003));
  const std::vector<ColorCount> histogram =
      Sorted(AnalysePicture(picture.First(), kSide, kSide, picture.stride, 2).histogram);
  ASSERT_EQ(histogram.size(), size_t{kSide} * kSide);
  for (size_t i = 1; i < histogram.size(); ++i) {
    if (histogram[i - 1].color >= histogram[i].color || histogram[i].count != 1) {
      ADD_FAILURE() << "entry " << i;
      break;
    }
  }
}

TEST(AnalysePicture, AnEmptyPictureHasNoColors) {
  const std::uint32_t pixel = 0;
  EXPECT_TRUE(AnalysePicture(&pixel, 0, 5, 4).histogram.empty());
  EXPECT_TRUE(AnalysePicture(nullptr, 3, 3, 12).histogram.empty());
}

std::vector<std::uint8_t> PlainNearest(const PictureColors& colors,
                                       const std::vector<ColorValue>& entries) {
  std::vector<std::uint8_t> nearest;
  for (const auto& [c, count] : colors.histogram)
    nearest.push_back(static_cast<std::uint8_t>(colorlib::NearestIndexBruteForce(
        RedOf(c), GreenOf(c), BlueOf(c), entries.data(), static_cast<int>(entries.size()))));
  return nearest;
}

TEST(NearestEntries, EditByEditTheyStayThoseOfAPlainSearch) {
  std::mt19937 random(22);
  const PictureColors colors = Analyse(NoisyPicture(200, 150, 5000, random));
  std::vector<ColorValue> entries(40);
  for (auto& e : entries) e = static_cast<ColorValue>(random() & 0xFFFFFF);
  std::vector<std::uint8_t> nearest = NearestEntries(colors, entries);
  ASSERT_TRUE(nearest == PlainNearest(colors, entries));
  for (int edit = 0; edit < 60; ++edit) {
    const std::vector<ColorValue> before = entries;
    const int changes = 1 + edit % 3;
    for (int c = 0; c < changes; ++c) {
      const size_t k = random() % entries.size();
      switch (edit % 4) {
        case 0:  // a duplicate of another entry: ties go to the lower position
          entries[k] = entries[random() % entries.size()];
          break;
        case 1:  // a small step, as when tuning by hand
          entries[k] = MakeColor(std::min(255, RedOf(entries[k]) + 3), GreenOf(entries[k]),
                                 BlueOf(entries[k]));
          break;
        default:
          entries[k] = static_cast<ColorValue>(random() & 0xFFFFFF);
      }
    }
    ASSERT_TRUE(UpdateNearestEntries(colors, before, entries, nearest));
    ASSERT_TRUE(nearest == PlainNearest(colors, entries)) << "edit " << edit;
  }
  // Too many changes, or another range length, are left to a fresh start.
  std::vector<ColorValue> all = entries;
  for (auto& e : all) e ^= 0x010101;
  const auto kept = nearest;
  EXPECT_FALSE(UpdateNearestEntries(colors, entries, all, nearest));
  EXPECT_FALSE(
      UpdateNearestEntries(colors, entries, {entries.begin(), entries.end() - 1}, nearest));
  EXPECT_TRUE(nearest == kept);
}

}  // namespace
}  // namespace tavlo::testing
