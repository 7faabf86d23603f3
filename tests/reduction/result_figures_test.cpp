// The result figures against plain per-pixel computations: the GIF they measure is the one the
// export writes, the usage counts are those of the decoded GIF, and the loss figures are those of
// every pixel against its previewed colour, also after edits served from the cache.
#include <gtest/gtest.h>

#include <QImage>
#include <numeric>
#include <random>

#include "color_science/ciede2000.h"
#include "color_science/s_cielab.h"
#include "colorlib/tavlo_color.h"
#include "reduction/gif_encoder.h"
#include "reduction/result_figures.h"
#include "support/picture_decoding.h"

namespace tavlo::testing {
namespace {

// A photo-like picture: smooth gradients with noise, so that colours repeat and differ a little.
QImage GradientPicture(int width, int height, std::mt19937& random) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const auto noise = static_cast<int>(random() % 9);
      image.setPixel(
          x, y, qRgb(x * 255 / width, (y * 255 / height + noise) % 256, (x + y + noise) % 256));
    }
  return image;
}

std::vector<ColorValue> RandomEntries(int count, std::mt19937& random) {
  std::vector<ColorValue> entries(static_cast<size_t>(count));
  for (auto& c : entries) c = static_cast<ColorValue>(random() & 0xFFFFFF);
  return entries;
}

struct Fixture {
  QImage image;
  PictureColors colors;

  explicit Fixture(QImage picture)
      : image(std::move(picture)),
        colors(AnalysePicture(Pixels(), image.width(), image.height(), image.bytesPerLine())) {}
  const std::uint32_t* Pixels() const {
    return reinterpret_cast<const std::uint32_t*>(image.constBits());
  }
};

// Mean, largest and share above 1 of CIEDE2000 over every pixel and its previewed colour.
void ExpectLossOfEveryPixel(const Fixture& f, const std::vector<ColorValue>& entries,
                            const ResultFigures& figures) {
  QImage preview = f.image.copy();
  PreViewImage(reinterpret_cast<std::uint32_t*>(preview.bits()), preview.width(), preview.height(),
               static_cast<std::int32_t>(preview.bytesPerLine()), entries.data(),
               static_cast<std::int32_t>(entries.size()));
  double sum = 0, largest = 0;
  int above = 0;
  for (int y = 0; y < f.image.height(); ++y)
    for (int x = 0; x < f.image.width(); ++x) {
      const double d = Ciede2000(LabFromColor(FromRgbPixel(f.image.pixel(x, y))),
                                 LabFromColor(FromRgbPixel(preview.pixel(x, y))));
      sum += d;
      largest = std::max(largest, d);
      above += d > 1.0;
    }
  const double pixels = double(f.image.width()) * f.image.height();
  EXPECT_NEAR(figures.meanLoss, sum / pixels, 1e-4);
  EXPECT_NEAR(figures.maxLoss, largest, 1e-4);
  EXPECT_NEAR(figures.shareAboveOne, above / pixels, 1e-9);
}

TEST(ResultFigures, DescribeTheGifTheExportWritesAndEveryPixelsLoss) {
  std::mt19937 random(14);
  const Fixture f(GradientPicture(211, 157, random));
  for (int count : {1, 5, 17, 256}) {
    SCOPED_TRACE(count);
    const auto entries = RandomEntries(count, random);
    ResultFigures figures;
    ASSERT_TRUE(ComputeResultFigures(f.colors, entries, figures));

    const IndexedPicture picture = ReducePicture(f.Pixels(), f.image.width(), f.image.height(),
                                                 f.image.bytesPerLine(), entries.data(), count);
    EXPECT_EQ(figures.gif, EncodeGif(picture).bytes) << "not the file the export writes";
    EXPECT_EQ(figures.GifBytes(), figures.gif.size());
    EXPECT_EQ(figures.rangeSize, count);
    EXPECT_EQ(figures.TableSize(), 1 << GifTableBits(count));

    // Usage: the decoded GIF's indexes counted, adding up to the pixel count.
    const DecodedGif decoded = DecodeGifWithGiflib(figures.gif);
    std::vector<std::uint64_t> counted(static_cast<size_t>(count), 0);
    for (std::uint8_t index : decoded.indexes) ++counted[index];
    EXPECT_TRUE(figures.usage == counted);
    EXPECT_EQ(figures.pixels, std::uint64_t(f.image.width()) * std::uint64_t(f.image.height()));
    EXPECT_EQ(std::accumulate(figures.usage.begin(), figures.usage.end(), std::uint64_t{0}),
              figures.pixels);
    EXPECT_EQ(figures.entriesUsed, std::count_if(counted.begin(), counted.end(),
                                                 [](std::uint64_t c) { return c != 0; }));
    ExpectLossOfEveryPixel(f, entries, figures);
  }
}

TEST(ResultFigures, HoldTheFilesPixelsWithTheirLossAndTheVisibleLoss) {
  std::mt19937 random(16);
  const Fixture f(GradientPicture(150, 110, random));
  std::vector<ColorValue> entries;
  for (int k = 0; k < 48; ++k)
    entries.push_back(FromRgbPixel(f.image.pixel(int(random() % 150), int(random() % 110))));
  for (const double budget : {0.0, 6.0}) {
    SCOPED_TRACE(budget);
    ResultFigures figures;
    ASSERT_TRUE(ComputeResultFigures(f.colors, entries, figures, nullptr, 0, nullptr, budget, 60));
    if (budget > 0) {
      ASSERT_LT(figures.GifBytes(), figures.exact.gifBytes) << "the budget was not used";
    }
    EXPECT_TRUE(figures.written == DecodeGifWithGiflib(figures.gif).indexes);
    std::vector<ColorValue> original, written;
    for (int y = 0; y < f.image.height(); ++y)
      for (int x = 0; x < f.image.width(); ++x) {
        const size_t p = size_t(y) * f.image.width() + x;
        original.push_back(FromRgbPixel(f.image.pixel(x, y)));
        written.push_back(entries[figures.written[p]]);
        ASSERT_NEAR(figures.pixelLoss[p],
                    Ciede2000(LabFromColor(original.back()), LabFromColor(written.back())), 1e-4);
      }
    const std::vector<float> visible =
        SCielabDifferences(original, written, f.image.width(), f.image.height(), 60);
    ASSERT_EQ(figures.visibleLoss.size(), visible.size());
    for (size_t p = 0; p < visible.size(); ++p)
      ASSERT_NEAR(figures.visibleLoss[p], visible[p], 1e-3);
    EXPECT_LT(figures.visibleMean, figures.meanLoss);
  }
}

TEST(ResultFigures, EditsServedFromTheCacheGiveTheFiguresOfAFreshStart) {
  for (const double budget : {0.0, 10.0}) {  // the allowed entries are cached too
    SCOPED_TRACE(budget);
    std::mt19937 random(15);
    const Fixture f(GradientPicture(180, 120, random));
    auto entries = RandomEntries(64, random);
    ResultCache cache;
    for (int edit = 0; edit < 6; ++edit) {
      SCOPED_TRACE(edit);
      // A colour of the picture, so that it is within the budget of many of its colours.
      entries[random() % entries.size()] =
          FromRgbPixel(f.image.pixel(int(random() % 180), int(random() % 120)));
      if (edit == 2) entries[7] = entries[8];  // a duplicate
      if (edit == 4) entries.resize(40);       // a narrower range
      ResultFigures cached, fresh;
      ASSERT_TRUE(ComputeResultFigures(f.colors, entries, cached, &cache, 2, nullptr, budget));
      ASSERT_TRUE(ComputeResultFigures(f.colors, entries, fresh, nullptr, 1, nullptr, budget));
      EXPECT_EQ(cached.meanLoss, fresh.meanLoss);
      EXPECT_EQ(cached.maxLoss, fresh.maxLoss);
      EXPECT_EQ(cached.shareAboveOne, fresh.shareAboveOne);
      EXPECT_TRUE(cached.usage == fresh.usage);
      EXPECT_EQ(cached.gif, fresh.gif);
      EXPECT_EQ(cached.exact.gifBytes, fresh.exact.gifBytes);
    }
    // The same cache with another picture starts again instead of mixing the two up.
    const Fixture other(GradientPicture(90, 200, random));
    ResultFigures cached, fresh;
    ASSERT_TRUE(ComputeResultFigures(other.colors, entries, cached, &cache, 0, nullptr, budget));
    ASSERT_TRUE(ComputeResultFigures(other.colors, entries, fresh, nullptr, 0, nullptr, budget));
    EXPECT_EQ(cached.meanLoss, fresh.meanLoss);
    EXPECT_EQ(cached.gif, fresh.gif);
  }
}

TEST(ResultFigures, AStopRequestGivesUp) {
  std::mt19937 random(16);
  const Fixture f(GradientPicture(50, 50, random));
  const std::atomic<bool> stop{true};
  ResultFigures figures;
  EXPECT_FALSE(
      ComputeResultFigures(f.colors, RandomEntries(8, random), figures, nullptr, 0, &stop));
  EXPECT_FALSE(ComputeResultFigures(f.colors, {}, figures)) << "an empty range";
}

TEST(ResultFigures, HintsAtTheNextSmallerTableOnlyAFewEntriesAway) {
  struct Case {
    int used, table, above;
  };
  for (const Case c :
       {Case{67, 64, 3}, Case{72, 64, 8}, Case{73, 0, 0}, Case{64, 0, 0}, Case{3, 2, 1},
        Case{2, 0, 0}, Case{1, 0, 0}, Case{129, 128, 1}, Case{144, 128, 16}, Case{145, 0, 0},
        Case{256, 0, 0}, Case{17, 16, 1}, Case{19, 0, 0}}) {
    int table = -1, above = -1;
    SmallerTableHint(c.used, table, above);
    EXPECT_EQ(table, c.table) << c.used;
    EXPECT_EQ(above, c.above) << c.used;
  }
}

}  // namespace
}  // namespace tavlo::testing
