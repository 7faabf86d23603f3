#include "picture/lens_image.h"

#include <gtest/gtest.h>

namespace tavlo::testing {
namespace {

// A picture whose every pixel tells where it is: red = x, green = y.
QImage Coordinates(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, 7));
  return image;
}

TEST(LensImageTest, HalvesRoundToEven) {
  EXPECT_EQ(RoundHalfEven(5, 2), 2);
  EXPECT_EQ(RoundHalfEven(7, 2), 4);
  EXPECT_EQ(RoundHalfEven(9, 2), 4);
  EXPECT_EQ(RoundHalfEven(17, 2), 8);
  EXPECT_EQ(RoundHalfEven(7, 3), 2);
  EXPECT_EQ(RoundHalfEven(8, 3), 3);
  EXPECT_EQ(LensHalfSide(5), 2);
  EXPECT_EQ(LensHalfSide(9), 4);
  EXPECT_EQ(LensHalfSide(17), 8);
  EXPECT_EQ(MarkerHalfSize(5), 10);
  EXPECT_EQ(MarkerHalfSize(9), 6);
  EXPECT_EQ(MarkerHalfSize(17), 3);
}

TEST(LensImageTest, PixelReaderGivesColorValueOrMinusOneOutside) {
  QImage picture(3, 2, QImage::Format_RGB32);
  picture.fill(qRgb(255, 128, 0));
  EXPECT_EQ(PixelAt(picture, {2, 1}), MakeColor(255, 128, 0));
  for (QPoint outside : {QPoint(-1, 0), QPoint(0, -1), QPoint(3, 0), QPoint(0, 2)})
    EXPECT_EQ(PixelAt(picture, outside), -1) << outside.x() << "," << outside.y();
}

TEST(LensImageTest, Zoom5ShowsTwentyPixelBlocksAroundThePointer) {
  const QImage lens = DrawLens(Coordinates(200, 100), {100, 40}, 5);
  ASSERT_EQ(lens.size(), QSize(100, 100));
  // Pixels 98..102 by 38..42, each a 20 x 20 block; sample inside each block off the marker.
  for (int by = 0; by < 5; ++by) {
    for (int bx = 0; bx < 5; ++bx) {
      for (QPoint inBlock : {QPoint(2, 2), QPoint(17, 17), QPoint(5, 12)}) {
        const QRgb p = lens.pixel(bx * 20 + inBlock.x(), by * 20 + inBlock.y());
        EXPECT_EQ(qRed(p), 98 + bx);
        EXPECT_EQ(qGreen(p), 38 + by);
      }
    }
  }
  // The red outline from (40, 40) to (60, 60), around the block of pixel (100, 40).
  for (int i = 40; i <= 60; ++i) {
    EXPECT_EQ(lens.pixel(i, 40), kLensMarker) << i;
    EXPECT_EQ(lens.pixel(i, 60), kLensMarker) << i;
    EXPECT_EQ(lens.pixel(40, i), kLensMarker) << i;
    EXPECT_EQ(lens.pixel(60, i), kLensMarker) << i;
  }
  EXPECT_NE(lens.pixel(39, 50), kLensMarker);
  EXPECT_NE(lens.pixel(61, 50), kLensMarker);
  EXPECT_NE(lens.pixel(50, 50), kLensMarker);
}

TEST(LensImageTest, Zoom17ShowsSeventeenPixelsFromEightBefore) {
  const QImage lens = DrawLens(Coordinates(200, 100), {100, 40}, 17);
  EXPECT_EQ(qRed(lens.pixel(0, 20)), 92);
  EXPECT_EQ(qGreen(lens.pixel(20, 0)), 32);
  EXPECT_EQ(qRed(lens.pixel(99, 20)), 108);
  EXPECT_EQ(qGreen(lens.pixel(20, 99)), 48);
  EXPECT_EQ(qRed(lens.pixel(50, 50)), 100);
  EXPECT_EQ(qGreen(lens.pixel(50, 50)), 40);
  // Blocks by repetition: lens column i shows pixel 92 + i * 17 / 100, no blending.
  for (int i = 0; i < 100; ++i) EXPECT_EQ(qRed(lens.pixel(i, 20)), 92 + i * 17 / 100) << i;
  for (int i = 47; i <= 53; ++i) {
    EXPECT_EQ(lens.pixel(i, 47), kLensMarker);
    EXPECT_EQ(lens.pixel(i, 53), kLensMarker);
    EXPECT_EQ(lens.pixel(47, i), kLensMarker);
    EXPECT_EQ(lens.pixel(53, i), kLensMarker);
  }
  EXPECT_NE(lens.pixel(46, 50), kLensMarker);
}

TEST(LensImageTest, OutsideThePictureShowsTheNeutralFill) {
  const QImage picture = Coordinates(10, 10);
  const QImage topLeft = DrawLens(picture, {0, 0}, 5);
  EXPECT_EQ(topLeft.pixel(10, 10), kLensOutside);  // pixel (-2, -2)
  EXPECT_EQ(topLeft.pixel(30, 10), kLensOutside);  // pixel (-1, -2)
  EXPECT_EQ(topLeft.pixel(10, 30), kLensOutside);  // pixel (-2, -1)
  EXPECT_EQ(qRed(topLeft.pixel(70, 70)), 1);       // pixel (1, 1)
  EXPECT_EQ(qGreen(topLeft.pixel(70, 70)), 1);
  const QImage bottomRight = DrawLens(picture, {9, 9}, 9);
  EXPECT_EQ(bottomRight.pixel(99, 99), kLensOutside);
  EXPECT_EQ(qRed(bottomRight.pixel(5, 5)), 5);
}

}  // namespace
}  // namespace tavlo::testing
