#include "store/window_geometry.h"

#include <gtest/gtest.h>

namespace tavlo::testing {
namespace {

const QRect kScreen(0, 0, 1600, 1200);
const QSize kPalette(372, 290);

qint64 Cover(const QRect& window, const std::vector<QRect>& avoid) {
  qint64 covered = 0;
  for (const QRect& other : avoid) {
    const QRect overlap = window.intersected(other);
    covered += qint64(overlap.width()) * overlap.height();
  }
  return covered;
}

TEST(WindowPlacementTest, RightOfTheMainWindowElseBelowItWhollyOnTheScreen) {
  EXPECT_EQ(PlaceBeside(kScreen, {QRect(0, 0, 575, 200)}, kPalette), QPoint(575, 0));
  // Level with its top, moved up as far as needed to stay on the screen.
  EXPECT_EQ(PlaceBeside(kScreen, {QRect(100, 1000, 575, 150)}, kPalette), QPoint(675, 910));
  // No room to the right: below, level with its left.
  EXPECT_EQ(PlaceBeside(kScreen, {QRect(0, 0, 1400, 300)}, kPalette), QPoint(0, 300));
  EXPECT_EQ(PlaceBeside(kScreen, {QRect(1300, 0, 300, 300)}, kPalette), QPoint(1228, 300));
  // A screen that does not start at (0, 0), such as the second of two.
  const QRect second(1600, 24, 800, 576);
  EXPECT_EQ(PlaceBeside(second, {QRect(1600, 24, 300, 200)}, kPalette), QPoint(1900, 24));
}

TEST(WindowPlacementTest, AThirdWindowAvoidsBoth) {
  const QRect main(0, 0, 575, 200);
  const QRect palette(575, 0, 372, 290);
  const QSize result(400, 300);
  const QPoint at = PlaceBeside(kScreen, {main, palette}, result);
  EXPECT_EQ(at, QPoint(575, 290));  // right of the main window, under the palette window
  EXPECT_EQ(Cover(QRect(at, result), {main, palette}), 0);
  // The palette window below the main one: the third goes right of the main window after all.
  EXPECT_EQ(PlaceBeside(kScreen, {main, QRect(0, 200, 372, 290)}, result), QPoint(575, 0));
  // Both where an older first start left them, on top of each other at (0, 0).
  const QRect small(0, 0, 800, 600);
  const QRect narrowMain(0, 0, 300, 200);
  const QRect stacked(0, 0, 370, 261);
  const QPoint free = PlaceBeside(small, {narrowMain, stacked}, result);
  EXPECT_TRUE(small.contains(QRect(free, result)));
  EXPECT_EQ(Cover(QRect(free, result), {narrowMain, stacked}), 0);
}

TEST(WindowPlacementTest, WithNoFreePlaceTheLeastCoveringOneIsTaken) {
  const struct {
    QRect screen;
    std::vector<QRect> avoid;
    QSize size;
  } cases[] = {
      {QRect(0, 0, 800, 600), {QRect(0, 0, 700, 500)}, kPalette},
      {QRect(0, 0, 800, 600), {QRect(50, 40, 700, 500)}, kPalette},
      {QRect(0, 0, 800, 600), {QRect(0, 0, 800, 600)}, kPalette},
      {QRect(0, 0, 640, 480), {QRect(0, 0, 500, 300)}, QSize(400, 300)},
      {QRect(0, 0, 800, 600), {QRect(200, 0, 400, 600), QRect(0, 100, 800, 200)}, QSize(300, 200)},
      {QRect(0, 0, 300, 200), {QRect(0, 0, 100, 100)}, QSize(400, 250)},  // larger than the screen
  };
  for (const auto& c : cases) {
    const QPoint at = PlaceBeside(c.screen, c.avoid, c.size);
    const QRect placed(at, c.size);
    if (c.size.width() <= c.screen.width()) {
      EXPECT_TRUE(c.screen.contains(placed)) << at.x() << "," << at.y();
    } else {
      EXPECT_EQ(at, c.screen.topLeft());
    }
    qint64 least = Cover(placed, c.avoid);
    for (int y = c.screen.top(); y + c.size.height() <= c.screen.bottom() + 1; ++y)
      for (int x = c.screen.left(); x + c.size.width() <= c.screen.right() + 1; ++x)
        least = std::min(least, Cover(QRect(QPoint(x, y), c.size), c.avoid));
    EXPECT_EQ(Cover(placed, c.avoid), least) << at.x() << "," << at.y();
  }
}

}  // namespace
}  // namespace tavlo::testing
