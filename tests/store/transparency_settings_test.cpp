// The alpha threshold and matte as the settings file holds them: what a user or another program
// may have typed there falls back to the defaults unless it is a valid value.
#include "store/transparency_settings.h"

#include <gtest/gtest.h>

namespace tavlo::testing {
namespace {

TEST(TransparencySettings, ValidTextsAreReadAndAnythingElseIsRefused) {
  const struct {
    const char* text;
    std::optional<int> threshold;
  } thresholds[] = {{"128", 128}, {" 1 ", 1}, {"255", 255}, {"0", {}}, {"256", {}},
                    {"-5", {}},   {"+5", {}}, {"12.5", {}}, {"", {}},  {"0x10", {}}};
  for (const auto& c : thresholds)
    EXPECT_EQ(ParseAlphaThreshold(QString::fromLatin1(c.text)), c.threshold) << c.text;

  const struct {
    const char* text;
    std::optional<ColorValue> matte;
  } mattes[] = {{"ffffff", kWhiteColor},
                {" #12AB34 ", MakeColor(0x12, 0xAB, 0x34)},
                {"000000", MakeColor(0, 0, 0)},
                {"fff", {}},
                {"1234567", {}},
                {"+12345", {}},
                {"gg0000", {}}};
  for (const auto& c : mattes)
    EXPECT_EQ(ParseMatte(QString::fromLatin1(c.text)), c.matte) << c.text;
  EXPECT_EQ(MatteText(MakeColor(0x12, 0xAB, 0x04)), QStringLiteral("12ab04"));
}

}  // namespace
}  // namespace tavlo::testing
