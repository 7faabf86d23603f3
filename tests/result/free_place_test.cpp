// The first place of a window: beside the others, wholly on the screen, else covering least.
#include <gtest/gtest.h>

#include "result/free_place.h"

namespace tavlo::testing {
namespace {

TEST(FreePlace, BesideTheOtherWindowsWithoutCoveringAny) {
  const QRect main(0, 0, 300, 200), palette(0, 0, 370, 261), screen(0, 0, 800, 600);
  const QPoint at = FreePlace({400, 300}, {main, palette}, screen);
  const QRect place(at, QSize(400, 300));
  EXPECT_TRUE(screen.contains(place));
  EXPECT_FALSE(place.intersects(main));
  EXPECT_FALSE(place.intersects(palette));
  EXPECT_EQ(at, QPoint(378, 0)) << "right of the palette window, its top edge";
}

TEST(FreePlace, OnAScreenTooSmallItStaysOnTheScreenCoveringLeast) {
  const QRect main(0, 0, 500, 300), screen(0, 0, 640, 480);
  const QPoint at = FreePlace({400, 300}, {main}, screen);
  const QRect place(at, QSize(400, 300));
  EXPECT_TRUE(screen.contains(place));
  EXPECT_LT(place.intersected(main).height() * place.intersected(main).width(), 400 * 300 / 2);
}

}  // namespace
}  // namespace tavlo::testing
