// The index-producing entry of the preview engine against the plain search: every pixel must get
// the index of the very palette entry the preview shows, ties to the lower index, whatever the
// palette, the layout, the storage limits or the number of threads.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "colorlib/nearest_brute_force.h"
#include "colorlib/preview_engine.h"

namespace tavlo::testing {
namespace {

using colorlib::IndexImage;
using colorlib::PreviewOptions;

struct Case {
  int width;
  int height;
  int stride;  // bytes, may be odd
  std::vector<unsigned char> bytes;

  Case(int w, int h, int strideBytes, std::mt19937& random)
      : width(w), height(h), stride(strideBytes), bytes(size_t(strideBytes) * size_t(h)) {
    for (auto& b : bytes) b = static_cast<unsigned char>(random());
  }
  uint32_t Pixel(int x, int y) const {
    uint32_t p;
    std::memcpy(&p, bytes.data() + size_t(y) * size_t(stride) + 4 * size_t(x), 4);
    return p;
  }
};

std::vector<int32_t> RandomPalette(int count, std::mt19937& random) {
  std::vector<int32_t> palette(static_cast<size_t>(count));
  for (auto& c : palette) c = static_cast<int32_t>(random() & 0xFFFFFF);
  return palette;
}

void ExpectPlainSearchIndexes(const Case& picture, const std::vector<int32_t>& palette,
                              const PreviewOptions& options = {}) {
  const int indexStride = picture.width + 3;  // padding that must stay untouched
  std::vector<uint8_t> indexes(size_t(indexStride) * size_t(picture.height), 0xEE);
  ASSERT_GT(IndexImage(reinterpret_cast<const uint32_t*>(picture.bytes.data()), picture.width,
                       picture.height, picture.stride, palette.data(),
                       static_cast<int32_t>(palette.size()), indexes.data(), indexStride, options),
            0);
  int wrong = 0;
  for (int y = 0; y < picture.height && wrong < 5; ++y) {
    for (int x = 0; x < picture.width && wrong < 5; ++x) {
      const uint32_t p = picture.Pixel(x, y);
      const int expected = colorlib::NearestIndexBruteForce(
          (p >> 16) & 255, (p >> 8) & 255, p & 255, palette.data(), int(palette.size()));
      const int got = indexes[size_t(y) * size_t(indexStride) + size_t(x)];
      if (got != expected) {
        ++wrong;
        ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << got << ", nearest " << expected;
      }
    }
    for (int x = picture.width; x < indexStride; ++x)
      EXPECT_EQ(indexes[size_t(y) * size_t(indexStride) + size_t(x)], 0xEE) << "padding";
  }
}

TEST(IndexImage, GivesThePlainSearchIndexForEveryPaletteSizeAndLayout) {
  std::mt19937 random(14);
  for (int count : {1, 2, 3, 16, 17, 255, 256}) {
    SCOPED_TRACE(count);
    ExpectPlainSearchIndexes(Case(61, 37, 61 * 4 + 1, random), RandomPalette(count, random));
  }
}

TEST(IndexImage, DuplicateEntriesAndTiesGoToTheLowerIndex) {
  std::mt19937 random(15);
  std::vector<int32_t> palette = RandomPalette(8, random);
  palette.insert(palette.begin(), palette.begin() + 4, palette.end());  // each colour twice
  std::vector<int32_t> greys;  // equal steps: every odd grey is as near to two entries
  for (int i = 0; i < 256; i += 2) greys.push_back(i * 0x010101);
  ExpectPlainSearchIndexes(Case(128, 64, 512, random), palette);
  ExpectPlainSearchIndexes(Case(128, 64, 512, random), greys);
}

TEST(IndexImage, ThreadsAndFullStorageDoNotChangeTheIndexes) {
  std::mt19937 random(16);
  const Case picture(700, 900, 2800, random);  // several bands for every worker
  const auto palette = RandomPalette(256, random);
  for (int threads : {1, 2, 7}) {
    PreviewOptions options;
    options.threads = threads;
    options.leafLimit = threads == 7 ? 300 : 0xFFFF;  // forgets its bricks again and again
    SCOPED_TRACE(threads);
    ExpectPlainSearchIndexes(picture, palette, options);
  }
}

TEST(IndexImage, TablesKeptForOnePaletteServeTheNextPicturesAndNoOtherPalette) {
  // A batch alternating between two palettes that differ in one entry only, and a palette whose
  // entries are those of the first in another order: what one call resolved must never answer
  // for another palette, and must stay right for the next picture of the same one.
  std::mt19937 random(23);
  const std::vector<int32_t> first = RandomPalette(40, random);
  const std::vector<int32_t> second = [&] {
    std::vector<int32_t> changed = first;
    changed[17] ^= 0x040404;
    return changed;
  }();
  const std::vector<int32_t> reordered(first.rbegin(), first.rend());
  for (int round = 0; round < 3; ++round) {
    for (const auto* palette : {&first, &first, &second, &reordered, &first}) {
      const Case picture(97, 61, 97 * 4, random);
      ExpectPlainSearchIndexes(picture, *palette, {.threads = 1 + round % 2});
    }
  }
}

TEST(IndexImage, RefusesBadArgumentsAndWritesNothing) {
  const uint32_t pixels[4] = {};
  const int32_t palette[1] = {0};
  uint8_t indexes[4] = {9, 9, 9, 9};
  EXPECT_EQ(IndexImage(pixels, 2, 2, 8, palette, 0, indexes, 2), 0);
  EXPECT_EQ(IndexImage(pixels, 2, 2, 8, palette, 257, indexes, 2), 0);
  EXPECT_EQ(IndexImage(pixels, 2, 2, 4, palette, 1, indexes, 2), 0);  // stride below the width
  EXPECT_EQ(IndexImage(pixels, 2, 2, 8, palette, 1, indexes, 1), 0);
  EXPECT_EQ(IndexImage(pixels, 2, 2, 8, palette, 1, nullptr, 2), 0);
  for (uint8_t i : indexes) EXPECT_EQ(i, 9);
}

}  // namespace
}  // namespace tavlo::testing
