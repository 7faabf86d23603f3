// The loss map's scale, its 16-bit file and the ranking of the worst places.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "reduction/loss_map.h"

namespace tavlo::testing {
namespace {

TEST(LossMap, ScaleShowsThePictureBelowHalfThenATintThenWarmColours) {
  const ColorValue dark = MakeColor(0, 0, 0), light = MakeColor(255, 255, 255);
  EXPECT_EQ(LossMapColor(0.2f, dark), qRgb(64, 64, 64));  // grey at half contrast
  EXPECT_EQ(LossMapColor(0.2f, light), qRgb(191, 191, 191));
  EXPECT_NE(qRed(LossMapColor(0.8f, dark)), qBlue(LossMapColor(0.8f, dark)));  // tinted
  EXPECT_EQ(LossMapColor(1.0001f, dark), 0xFFFFE600u);                         // yellow
  EXPECT_EQ(LossMapColor(2.3f, dark), 0xFFFF8C00u);                            // orange
  EXPECT_EQ(LossMapColor(10.0f, dark), LossMapColor(50.0f, dark));             // deepest red
  EXPECT_GT(qRed(LossMapColor(3.0f, dark)), qRed(LossMapColor(9.0f, dark)));
  // "Only above 1.0": one grey below, the scale above.
  EXPECT_EQ(LossMapColor(0.9f, dark, true), LossMapColor(0.1f, light, true));
  EXPECT_EQ(LossMapColor(3.0f, dark, true), LossMapColor(3.0f, dark));
}

TEST(LossMap, BlocksComeFromTheHighestMeanDownEdgeBlocksIncluded) {
  const int width = 70, height = 40;  // 3 x 2 blocks, the right and bottom ones smaller
  std::vector<float> loss(width * height, 0.0f);
  auto set = [&](int x, int y, float value) { loss[size_t(y) * width + x] = value; };
  set(65, 35, 100);                            // one pixel of a 6 x 8 block: mean 100 / 48
  set(0, 0, 200);                              // one pixel of a full block: mean 200 / 1024
  for (int x = 32; x < 64; ++x) set(x, 5, 1);  // mean 32 / 1024
  const std::vector<LossBlock> blocks = BlocksByLoss(loss, width, height);
  ASSERT_EQ(blocks.size(), 6u);
  EXPECT_EQ(std::pair(blocks[0].x, blocks[0].y), std::pair(64, 32));
  EXPECT_NEAR(blocks[0].mean, 100.0 / 48, 1e-9);
  EXPECT_EQ(std::pair(blocks[1].x, blocks[1].y), std::pair(0, 0));
  EXPECT_EQ(std::pair(blocks[2].x, blocks[2].y), std::pair(32, 0));
  EXPECT_EQ(std::pair(blocks[3].x, blocks[3].y), std::pair(64, 0));  // ties in reading order
}

TEST(LossMap, FileHoldsAThousandTimesTheLossRoundedAndCapped) {
  const std::vector<float> loss = {0.0f, 0.0004f, 0.0005f, 1.2345f, 65.535f, 80.0f};
  const QImage map = QImage::fromData(LossMapPng(loss, 3, 2), "PNG");
  ASSERT_EQ(map.format(), QImage::Format_Grayscale16);
  const int expected[] = {0, 0, 1, 1235, 65535, 65535};
  for (int p = 0; p < 6; ++p)
    EXPECT_EQ(reinterpret_cast<const quint16*>(map.constScanLine(p / 3))[p % 3], expected[p]) << p;
}

}  // namespace
}  // namespace tavlo::testing
