// CIELAB of sRGB colours, anchored at known values.
#include <gtest/gtest.h>

#include <cmath>

#include "color_science/cielab.h"

namespace tavlo::testing {
namespace {

void ExpectLab(const Lab& lab, double L, double a, double b, double tolerance) {
  EXPECT_NEAR(lab.L, L, tolerance);
  EXPECT_NEAR(lab.a, a, tolerance);
  EXPECT_NEAR(lab.b, b, tolerance);
}

TEST(LabFromColor, WhiteBlackAndGreysAreNeutral) {
  ExpectLab(LabFromColor(MakeColor(255, 255, 255)), 100, 0, 0, 1e-9);
  ExpectLab(LabFromColor(MakeColor(0, 0, 0)), 0, 0, 0, 1e-9);
  for (int v = 1; v < 255; v += 17) {
    const Lab grey = LabFromColor(MakeColor(v, v, v));
    EXPECT_NEAR(grey.a, 0, 1e-9) << v;
    EXPECT_NEAR(grey.b, 0, 1e-9) << v;
  }
  // Middle grey 119 is close to L 50 (sRGB 0.46 linear 0.18).
  EXPECT_NEAR(LabFromColor(MakeColor(119, 119, 119)).L, 50.0, 0.1);
}

TEST(LabFromColor, PrimariesHaveTheirKnownValues) {
  ExpectLab(LabFromColor(MakeColor(255, 0, 0)), 53.24, 80.09, 67.20, 0.01);
  ExpectLab(LabFromColor(MakeColor(0, 255, 0)), 87.73, -86.18, 83.18, 0.01);
  ExpectLab(LabFromColor(MakeColor(0, 0, 255)), 32.30, 79.19, -107.86, 0.01);
}

TEST(LabFromColor, ReadsTheChannelsInColorValueOrder) {
  // 0x00BBGGRR: a value with only the low byte set is red, not blue.
  EXPECT_GT(LabFromColor(0x0000FF).a, 70);
  EXPECT_LT(LabFromColor(0xFF0000).b, -100);
}

}  // namespace
}  // namespace tavlo::testing
