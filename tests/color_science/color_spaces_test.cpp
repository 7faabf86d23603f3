// CIELAB and Oklab of sRGB colours: anchored at known values, and Oklab's way back exact for every
// colour, since palette operations store what it gives.
#include <gtest/gtest.h>

#include <cmath>

#include "color_science/cielab.h"
#include "color_science/oklab.h"

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

TEST(Oklab, PrimariesAndWhiteHaveTheirKnownValues) {
  const Oklab white = OklabFromColor(MakeColor(255, 255, 255));
  EXPECT_NEAR(white.L, 1.0, 1e-4);
  EXPECT_NEAR(white.a, 0.0, 1e-4);
  EXPECT_NEAR(white.b, 0.0, 1e-4);
  const Oklab red = OklabFromColor(MakeColor(255, 0, 0));
  EXPECT_NEAR(red.L, 0.62796, 1e-4);
  EXPECT_NEAR(std::hypot(red.a, red.b), 0.25768, 1e-4);
  EXPECT_NEAR(std::atan2(red.b, red.a) * 180 / 3.14159265358979, 29.2339, 1e-2);
}

TEST(Oklab, EveryColorComesBackUnchanged) {
  // Every 11th colour value: all channel values of each channel and a million mixtures.
  int wrong = 0;
  for (ColorValue c = 0; c <= 0xFFFFFF && wrong < 5; c += 11) {
    if (ColorFromOklab(OklabFromColor(c)) != c) {
      ++wrong;
      ADD_FAILURE() << std::hex << c << " came back as " << ColorFromOklab(OklabFromColor(c));
    }
  }
}

TEST(Oklab, ValuesOutsideTheGamutAreClamped) {
  EXPECT_EQ(ColorFromOklab({1.5, 0, 0}), MakeColor(255, 255, 255));
  EXPECT_EQ(ColorFromOklab({-0.2, 0, 0}), MakeColor(0, 0, 0));
  const ColorValue vivid = ColorFromOklab({0.6, 0.5, 0.3});  // far beyond sRGB red
  EXPECT_EQ(RedOf(vivid), 255);
  EXPECT_EQ(BlueOf(vivid), 0);
  EXPECT_EQ(ColorFromOklab({std::nan(""), 0, 0}), MakeColor(0, 0, 0));
}

}  // namespace
}  // namespace tavlo::testing
