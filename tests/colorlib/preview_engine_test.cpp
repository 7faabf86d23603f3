// The preview engine against the plain search, which is exact by construction: every pixel must
// get the very same palette colour, whatever the palette, picture layout or number of threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "colorlib/nearest_brute_force.h"
#include "colorlib/preview_engine.h"
#include "colorlib/tavlo_color.h"

namespace tavlo::testing {
namespace {

using colorlib::PreviewOptions;
using colorlib::PreviewWithOptions;

int32_t Color(int red, int green, int blue) {
  return red | (green << 8) | (blue << 16);
}

// A picture of 32-bit pixels with rows `stride` bytes apart, padding filled with a marker.
struct Picture {
  int width = 0;
  int height = 0;
  int stride = 0;
  std::vector<unsigned char> bytes;

  Picture(int w, int h, int strideBytes)
      : width(w), height(h), stride(strideBytes), bytes(size_t(strideBytes) * h + 4, 0xA5) {}
  uint32_t* First() { return reinterpret_cast<uint32_t*>(bytes.data()); }
  uint32_t Get(int x, int y) const {
    uint32_t p;
    std::memcpy(&p, bytes.data() + size_t(y) * stride + 4 * x, 4);
    return p;
  }
  void Set(int x, int y, uint32_t p) {
    std::memcpy(bytes.data() + size_t(y) * stride + 4 * x, &p, 4);
  }
};

Picture RandomPicture(int w, int h, std::mt19937& random, int stride = 0) {
  Picture picture(w, h, stride ? stride : 4 * w);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) picture.Set(x, y, static_cast<uint32_t>(random()));
  return picture;
}

std::vector<int32_t> RandomPalette(int count, std::mt19937& random) {
  std::vector<int32_t> palette(count);
  for (auto& c : palette) c = static_cast<int32_t>(random() & 0xFFFFFF);
  return palette;
}

// Reduces a copy of `picture` with the engine and one with the plain search and compares every
// byte, padding included.
void ExpectSameAsPlainSearch(const Picture& picture, const std::vector<int32_t>& palette,
                             const PreviewOptions& options = {}) {
  Picture engine = picture, plain = picture;
  ASSERT_GT(PreviewWithOptions(engine.First(), picture.width, picture.height, picture.stride,
                               palette.data(), static_cast<int32_t>(palette.size()), options),
            0);
  colorlib::PreviewBruteForce(plain.First(), picture.width, picture.height, picture.stride,
                              palette.data(), static_cast<int32_t>(palette.size()));
  int wrong = 0;
  for (int y = 0; y < picture.height && wrong < 5; ++y)
    for (int x = 0; x < picture.width && wrong < 5; ++x)
      if (engine.Get(x, y) != plain.Get(x, y)) {
        ++wrong;
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") " << std::hex << picture.Get(x, y)
                      << ": engine " << engine.Get(x, y) << ", nearest " << plain.Get(x, y);
      }
  EXPECT_TRUE(engine.bytes == plain.bytes) << "padding or rows differ";
}

// One pixel in every brick of 4 x 4 x 4 colours, at a random place in it: 512 x 512 pixels.
Picture EveryBrick(std::mt19937& random) {
  Picture picture(512, 512, 2048);
  for (int brick = 0; brick < 64 * 64 * 64; ++brick) {
    const auto jitter = [&random] { return uint32_t(random() % 4); };
    const uint32_t r = uint32_t(brick >> 12) * 4 + jitter(),
                   g = uint32_t((brick >> 6) & 63) * 4 + jitter(),
                   b = uint32_t(brick & 63) * 4 + jitter();
    picture.Set(brick % 512, brick / 512, (r << 16) | (g << 8) | b);
  }
  return picture;
}

TEST(PreviewEngine, RandomPicturesAndPalettesOfEverySize) {
  std::mt19937 random(7);
  for (int count : {1, 2, 3, 5, 16, 64, 200, 255, 256}) {
    SCOPED_TRACE(count);
    ExpectSameAsPlainSearch(RandomPicture(131, 67, random), RandomPalette(count, random));
  }
}

TEST(PreviewEngine, EveryBrickOfTheColorCube) {
  std::mt19937 random(11);
  const Picture picture = EveryBrick(random);
  ExpectSameAsPlainSearch(picture, RandomPalette(256, random));
  ExpectSameAsPlainSearch(picture, RandomPalette(9, random));
  PreviewOptions portable;
  portable.portableLoop = true;  // the pixel loop for processors without bit extraction
  ExpectSameAsPlainSearch(picture, RandomPalette(256, random), portable);
}

TEST(PreviewEngine, TiesGoToTheLowerIndex) {
  // (1, 0, 0) is as near to black as to (2, 0, 0); (5, 5, 5) is as near to every palette colour.
  Picture picture(2, 1, 8);
  picture.Set(0, 0, 0x010000);
  picture.Set(1, 0, 0x050505);
  const std::vector<int32_t> palette = {Color(2, 0, 0), Color(0, 0, 0), Color(5, 5, 9),
                                        Color(5, 9, 5), Color(9, 5, 5), Color(1, 5, 5)};
  Picture engine = picture;
  PreViewImage(engine.First(), 2, 1, 8, palette.data(), 6);
  EXPECT_EQ(engine.Get(0, 0), 0xFF020000u);
  EXPECT_EQ(engine.Get(1, 0), 0xFF050509u);
  std::vector<int32_t> reversed(palette.rbegin(), palette.rend());
  engine = picture;
  PreViewImage(engine.First(), 2, 1, 8, reversed.data(), 6);
  EXPECT_EQ(engine.Get(0, 0), 0xFF000000u);
  EXPECT_EQ(engine.Get(1, 0), 0xFF010505u);
}

TEST(PreviewEngine, AdversarialPalettes) {
  std::mt19937 random(3);
  const Picture picture = EveryBrick(random);
  std::vector<std::vector<int32_t>> palettes;
  palettes.push_back(std::vector<int32_t>(256, 0));                  // all black
  palettes.push_back(std::vector<int32_t>(256, Color(77, 140, 3)));  // all one colour
  std::vector<int32_t> nearDuplicates;                               // a clump one unit apart
  for (int i = 0; i < 256; ++i)
    nearDuplicates.push_back(Color(120 + i % 4, 64 + (i / 4) % 4, 200 + i / 16 % 2 + i / 32));
  palettes.push_back(nearDuplicates);
  std::vector<int32_t> corners;  // the cube's corners, each twice, and its middle
  for (int i = 0; i < 16; ++i)
    corners.push_back(Color((i & 1) * 255, ((i >> 1) & 1) * 255, ((i >> 2) & 1) * 255));
  corners.push_back(Color(128, 128, 128));
  palettes.push_back(corners);
  std::vector<int32_t> greys;  // equal steps: many ties between neighbours
  for (int i = 0; i < 256; i += 2) greys.push_back(Color(i, i, i));
  palettes.push_back(greys);
  std::vector<int32_t> farCorner = {Color(255, 255, 255), Color(254, 255, 255),
                                    Color(255, 254, 255), Color(250, 250, 250)};
  palettes.push_back(farCorner);  // pixels near black are far from everything
  std::vector<int32_t> lattice;   // a regular grid: planes of ties through the cube
  for (int i = 0; i < 216; ++i) lattice.push_back(Color(i % 6 * 51, i / 6 % 6 * 51, i / 36 * 51));
  palettes.push_back(lattice);
  for (size_t i = 0; i < palettes.size(); ++i) {
    SCOPED_TRACE(i);
    ExpectSameAsPlainSearch(picture, palettes[i]);
  }
}

TEST(PreviewEngine, FullStorageOnlyCostsTime) {
  std::mt19937 random(5);
  const Picture picture = EveryBrick(random);
  const auto palette = RandomPalette(256, random);
  PreviewOptions fewLeaves;
  fewLeaves.leafLimit = 300;  // forgets its bricks again and again
  ExpectSameAsPlainSearch(picture, palette, fewLeaves);
  PreviewOptions noListRoom;
  noListRoom.middleListBytes = 0;  // every middle cell falls back to its coarse list
  ExpectSameAsPlainSearch(picture, palette, noListRoom);
}

TEST(PreviewEngine, OddStridesAndBottomUpRows) {
  std::mt19937 random(13);
  const auto palette = RandomPalette(40, random);
  for (int stride : {4 * 45, 4 * 45 + 1, 4 * 45 + 3, 4 * 45 + 64}) {
    SCOPED_TRACE(stride);
    ExpectSameAsPlainSearch(RandomPicture(45, 23, random, stride), palette);
  }
  // Rows going upwards in memory: the first row is the last one of the buffer.
  Picture picture = RandomPicture(30, 10, random, 4 * 30 + 2), plain = picture;
  uint32_t* last = reinterpret_cast<uint32_t*>(picture.bytes.data() + 9 * picture.stride);
  PreViewImage(last, 30, 10, -picture.stride, palette.data(), 40);
  colorlib::PreviewBruteForce(plain.First(), 30, 10, plain.stride, palette.data(), 40);
  EXPECT_TRUE(picture.bytes == plain.bytes);
}

// The tables take rows in pairs; an odd row, a band of one picture row and pictures wider than a
// band go their own ways.
TEST(PreviewEngine, RowsInPairsAndAlone) {
  std::mt19937 random(19);
  const auto palette = RandomPalette(256, random);
  for (int height : {1, 2, 3, 7}) {
    SCOPED_TRACE(height);
    ExpectSameAsPlainSearch(RandomPicture(37, height, random), palette);
  }
  ExpectSameAsPlainSearch(RandomPicture(9001, 3, random), palette);
  // Equal pixels above each other, each pair reaching a brick not resolved yet.
  Picture columns(64, 2, 256);
  for (int x = 0; x < 64; ++x) {
    const uint32_t color = static_cast<uint32_t>(random());
    columns.Set(x, 0, color);
    columns.Set(x, 1, color);
  }
  ExpectSameAsPlainSearch(columns, palette);
}

TEST(PreviewEngine, ThreadsDoNotChangeTheResult) {
  std::mt19937 random(17);
  // 300 x 500 pixels: enough rows for ten bands of work.
  const Picture picture = RandomPicture(300, 500, random);
  const auto palette = RandomPalette(256, random);
  Picture single = picture;
  PreviewOptions one;
  one.threads = 1;
  ASSERT_EQ(PreviewWithOptions(single.First(), 300, 500, 1200, palette.data(), 256, one), 1);
  for (int threads : {2, 3, 8}) {
    Picture several = picture;
    PreviewOptions options;
    options.threads = threads;
    EXPECT_EQ(PreviewWithOptions(several.First(), 300, 500, 1200, palette.data(), 256, options),
              threads);
    EXPECT_TRUE(several.bytes == single.bytes) << threads << " threads";
  }
  ExpectSameAsPlainSearch(picture, palette, one);
}

TEST(PreviewEngine, AlphaIsIgnoredAndSetOpaque) {
  Picture picture(3, 1, 12);
  picture.Set(0, 0, 0x00102030);
  picture.Set(1, 0, 0x7F102030);
  picture.Set(2, 0, 0xFFF0F0F0);
  const std::vector<int32_t> palette = {Color(0x10, 0x20, 0x31), Color(0xF0, 0xF0, 0xEE)};
  PreViewImage(picture.First(), 3, 1, 12, palette.data(), 2);
  EXPECT_EQ(picture.Get(0, 0), 0xFF102031u);
  EXPECT_EQ(picture.Get(1, 0), 0xFF102031u);
  EXPECT_EQ(picture.Get(2, 0), 0xFFF0F0EEu);
}

TEST(PreviewEngine, RefusedArgumentsLeaveThePictureUntouched) {
  std::mt19937 random(19);
  const Picture picture = RandomPicture(8, 4, random);
  const auto palette = RandomPalette(257, random);
  auto untouched = [&](int32_t w, int32_t h, int32_t stride, const int32_t* pal, int32_t count,
                       bool nullPixels = false) {
    Picture copy = picture;
    EXPECT_EQ(PreviewWithOptions(nullPixels ? nullptr : copy.First(), w, h, stride, pal, count, {}),
              0);
    PreViewImage(nullPixels ? nullptr : copy.First(), w, h, stride, pal, count);
    return copy.bytes == picture.bytes;
  };
  EXPECT_TRUE(untouched(8, 4, 32, palette.data(), 0));
  EXPECT_TRUE(untouched(8, 4, 32, palette.data(), 257));
  EXPECT_TRUE(untouched(8, 4, 32, palette.data(), -1));
  EXPECT_TRUE(untouched(8, 4, 32, nullptr, 4));
  EXPECT_TRUE(untouched(0, 4, 32, palette.data(), 4));
  EXPECT_TRUE(untouched(8, -1, 32, palette.data(), 4));
  EXPECT_TRUE(untouched(8, 4, 31, palette.data(), 4));  // rows would overlap
  EXPECT_TRUE(untouched(8, 4, 32, palette.data(), 4, true));
}

// Classic Floyd-Steinberg written out plainly, with the plain search.
void PlainDither(Picture& picture, const std::vector<int32_t>& palette) {
  const int w = picture.width;
  std::vector<int> current((w + 2) * 3, 0), below((w + 2) * 3, 0);
  auto carried = [](int e) { return e >= 0 ? (e + 8) / 16 : -((-e + 8) / 16); };
  for (int y = 0; y < picture.height; ++y) {
    std::fill(below.begin(), below.end(), 0);
    for (int x = 0; x < w; ++x) {
      const uint32_t p = picture.Get(x, y);
      int c[3] = {int(p >> 16 & 255), int(p >> 8 & 255), int(p & 255)};
      for (int k = 0; k < 3; ++k)
        c[k] = std::clamp(c[k] + carried(current[(x + 1) * 3 + k]), 0, 255);
      const int i = colorlib::NearestIndexBruteForce(c[0], c[1], c[2], palette.data(),
                                                     static_cast<int>(palette.size()));
      const int q[3] = {palette[i] & 255, palette[i] >> 8 & 255, palette[i] >> 16 & 255};
      picture.Set(x, y, 0xFF000000u | (q[0] << 16) | (q[1] << 8) | q[2]);
      for (int k = 0; k < 3; ++k) {
        const int e = c[k] - q[k];
        current[(x + 2) * 3 + k] += 7 * e;
        below[x * 3 + k] += 3 * e;
        below[(x + 1) * 3 + k] += 5 * e;
        below[(x + 2) * 3 + k] += e;
      }
    }
    std::swap(current, below);
  }
}

TEST(PreviewEngine, DitheringMatchesClassicFloydSteinberg) {
  std::mt19937 random(23);
  PreviewOptions dither;
  dither.dither = true;
  for (int count : {1, 4, 256}) {
    SCOPED_TRACE(count);
    const auto palette = RandomPalette(count, random);
    Picture engine = RandomPicture(57, 31, random, 4 * 57 + 3), plain = engine;
    ASSERT_EQ(
        PreviewWithOptions(engine.First(), 57, 31, engine.stride, palette.data(), count, dither),
        1);
    PlainDither(plain, palette);
    EXPECT_TRUE(engine.bytes == plain.bytes);
  }
}

TEST(PreviewEngine, DitheringKeepsPaletteColorsAsTheyAre) {
  std::mt19937 random(29);
  const auto palette = RandomPalette(32, random);
  Picture picture(40, 20, 160);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      const auto c = static_cast<uint32_t>(palette[random() % 32]);
      picture.Set(x, y, 0xFF000000u | (c & 255) << 16 | (c & 0xFF00) | (c >> 16 & 255));
    }
  Picture dithered = picture;
  PreviewOptions dither;
  dither.dither = true;
  PreviewWithOptions(dithered.First(), 40, 20, 160, palette.data(), 32, dither);
  EXPECT_TRUE(dithered.bytes == picture.bytes);
}

}  // namespace
}  // namespace tavlo::testing
