// A picture's colours and the nearest entry of each, against plain per-pixel computations: every
// pixel names its own colour, the counts are the pixels', and the nearest entries kept up to date
// edit by edit are always those of a plain search.
#include <gtest/gtest.h>

#include <QImage>
#include <map>
#include <random>

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
        ASSERT_EQ(analysed.color[id], FromRgbPixel(image.pixel(x, y)));
        ASSERT_LE(id, highestSoFar + (x + y > 0 ? 1 : 0)) << "a colour seen before its first pixel";
        highestSoFar = std::max(highestSoFar, id);
        ++counted[analysed.color[id]];
      }
    ASSERT_EQ(analysed.Distinct(), counted.size());
    for (size_t i = 0; i < analysed.Distinct(); ++i)
      EXPECT_EQ(analysed.counts[i], counted[analysed.color[i]]);
  }
}

std::vector<std::uint8_t> PlainNearest(const PictureColors& colors,
                                       const std::vector<ColorValue>& entries) {
  std::vector<std::uint8_t> nearest;
  for (ColorValue c : colors.color)
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
