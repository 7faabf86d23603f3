#include "commands/ask_color_range.h"

#include <gtest/gtest.h>

#include "operations/entry_number.h"
#include "support/scripted_dialogs.h"

namespace tavlo::testing {
namespace {

TEST(ReadPlainWholeNumber, AcceptsOnlyNumbersWrittenAsThemselves) {
  EXPECT_EQ(ReadPlainWholeNumber("12"), 12);
  EXPECT_EQ(ReadPlainWholeNumber("256"), 256);
  EXPECT_EQ(ReadPlainWholeNumber("0"), 0);
  for (const char* refused : {"", "05", " 5", "5 ", "+5", "-1", "abc", "1e1", "12.0", "2.5", "12a",
                              "99999999999999999999", "2147483648"}) {
    EXPECT_EQ(ReadPlainWholeNumber(QString::fromLatin1(refused)), std::nullopt) << refused;
  }
}

TEST(AskColorRange, RefusedAnswersBringTheSameBoxBackWithoutMessage) {
  ScriptedDialogs dialogs;
  dialogs.AnswerInputs({"0", "257", "-1", "05", "abc", " 5", "5 ", "1e1", "12.0", "2.5",
                        "99999999999999999999", "17", "16", "300", "20"});
  const auto range = AskColorRange(nullptr, "Select starting color", "Select endingcolor color");
  ASSERT_TRUE(range);
  EXPECT_EQ(range->first, 16);
  EXPECT_EQ(range->last, 19);
  const auto inputs = dialogs.CallsOf("input");
  ASSERT_EQ(inputs.size(), 15u);
  for (size_t i = 0; i < 12; ++i) {
    EXPECT_EQ(inputs[i].title, "Select starting color");
    EXPECT_EQ(inputs[i].text, "Please select startingcolor by number (1-256)");
  }
  for (size_t i = 12; i < 15; ++i) {
    EXPECT_EQ(inputs[i].title, "Select endingcolor color");
    EXPECT_EQ(inputs[i].text, "Please select endingcolor by number (17-256)");
  }
  EXPECT_TRUE(dialogs.CallsOf("message").empty());
}

TEST(AskColorRange, CancelInEitherBoxCancelsTheWhole) {
  {
    ScriptedDialogs dialogs;
    dialogs.AnswerInput("");
    EXPECT_EQ(AskColorRange(nullptr, "Delete palette", "Delete palette"), std::nullopt);
  }
  {
    ScriptedDialogs dialogs;
    dialogs.AnswerInputs({"5", ""});
    EXPECT_EQ(AskColorRange(nullptr, "Delete palette", "Delete palette"), std::nullopt);
    EXPECT_EQ(dialogs.CallsOf("input").size(), 2u);
  }
}

TEST(AskColorRange, FullAndSingleRanges) {
  ScriptedDialogs dialogs;
  dialogs.AnswerInputs({"256", "256", "1", "256", "5", "5"});
  auto range = AskColorRange(nullptr, "t", "t");
  ASSERT_TRUE(range);
  EXPECT_EQ(range->first, 255);
  EXPECT_EQ(range->last, 255);
  EXPECT_EQ(dialogs.CallsOf("input")[1].text, "Please select endingcolor by number (256-256)");
  range = AskColorRange(nullptr, "t", "t");
  EXPECT_EQ(range->Count(), 256);
  range = AskColorRange(nullptr, "t", "t");
  EXPECT_EQ(range->first, 4);
  EXPECT_EQ(range->Count(), 1);
}

}  // namespace
}  // namespace tavlo::testing
