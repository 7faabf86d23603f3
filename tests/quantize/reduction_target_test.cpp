#include "quantize/reduction_target.h"

#include <gtest/gtest.h>

namespace tavlo::testing {
namespace {

using Kind = ReductionTarget::Kind;

TEST(ReductionTarget, ReadsSizesAndSharesAsUsersTypeThem) {
  const ReductionTarget size{Kind::GifBytes, 150000, 0};
  for (const char* text :
       {"\u2264 150000", "<=150000", "150000", " 150000 bytes", "150 KB", "150k", "< 150000 B"})
    EXPECT_EQ(ReductionTarget::Parse(text), size) << text;
  EXPECT_EQ(ReductionTarget::Parse("1.5 MB"), (ReductionTarget{Kind::GifBytes, 1500000, 0}));
  const ReductionTarget share{Kind::ShareAboveOne, 0, 5};
  for (const char* text : {"\u2264 5 %", "<= 5%", "5%", "5.0 %"})
    EXPECT_EQ(ReductionTarget::Parse(text), share) << text;
  EXPECT_EQ(ReductionTarget::Parse("0.25%"), (ReductionTarget{Kind::ShareAboveOne, 0, 0.25}));
  for (const char* text : {"\u2264 5 % visible", "5%Visible", "<= 5.0 % visible"})
    EXPECT_EQ(ReductionTarget::Parse(text), (ReductionTarget{Kind::VisibleShareAboveOne, 0, 5}))
        << text;
}

TEST(ReductionTarget, RefusesWhatIsNoTarget) {
  for (const char* text :
       {"", "%", "abc", "-5%", "101 %", "1.5", "1.5 bytes", "5 %%", "1e5", "5 percent", "1..2%",
        ".5%", "5.%", "12 GB", ">= 5%", "5 visible", "5 % visibly", "150000 visible"})
    EXPECT_FALSE(ReductionTarget::Parse(text)) << text;
}

TEST(ReductionTarget, DescribesItselfAsMessagesShowIt) {
  EXPECT_EQ((ReductionTarget{Kind::GifBytes, 150000, 0}).Describe(), "\u2264 150,000 bytes");
  EXPECT_EQ((ReductionTarget{Kind::GifBytes, 999, 0}).Describe(), "\u2264 999 bytes");
  EXPECT_EQ((ReductionTarget{Kind::ShareAboveOne, 0, 2.5}).Describe(), "\u2264 2.5 %");
  EXPECT_EQ((ReductionTarget{Kind::VisibleShareAboveOne, 0, 5}).Describe(), "\u2264 5 % visible");
}

}  // namespace
}  // namespace tavlo::testing
