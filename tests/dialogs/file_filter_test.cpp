#include "dialogs/file_filter.h"

#include <gtest/gtest.h>

namespace tavlo::testing {
namespace {

TEST(ToNameFilters, PairsBecomeQtFiltersWithBlankSeparatedPatterns) {
  EXPECT_EQ(ToNameFilters("All formats|*.act;*pal;*.gif|Adobe palette-file|*.act|"
                          "Jasc palette-file|*.pal|Compuserve Graphics Interchange|*.gif"),
            (QStringList{"All formats (*.act *pal *.gif)", "Adobe palette-file (*.act)",
                         "Jasc palette-file (*.pal)", "Compuserve Graphics Interchange (*.gif)"}));
  EXPECT_EQ(ToNameFilters("a|b"), QStringList{"a (b)"});
  EXPECT_EQ(ToNameFilters("Painter palette-file |*.txt"),
            QStringList{"Painter palette-file  (*.txt)"});
}

TEST(ToNameFilters, EveryFilePatternMatchesNamesWithoutDot) {
  EXPECT_EQ(ToNameFilters("Windows Bitmap|*.bmp|All files|*.*"),
            (QStringList{"Windows Bitmap (*.bmp)", "All files (*)"}));
}

TEST(ToNameFilters, ListEndsAtAnUnpairedDescriptionOrEmptyField) {
  EXPECT_EQ(ToNameFilters("a|b|c"), QStringList{"a (b)"});
  EXPECT_EQ(ToNameFilters("a|b||c|d"), QStringList{"a (b)"});
  EXPECT_EQ(ToNameFilters(""), QStringList());
}

TEST(SplitChosenPath, DirectoryKeepsItsTrailingSeparator) {
  EXPECT_EQ(SplitChosenPath("/x.act").directory, "/");
  EXPECT_EQ(SplitChosenPath("/x.act").name, "x.act");
  EXPECT_EQ(SplitChosenPath("/home/u/pal dir/my.pal").directory, "/home/u/pal dir/");
  EXPECT_EQ(SplitChosenPath("/home/u/pal dir/my.pal").name, "my.pal");
}

}  // namespace
}  // namespace tavlo::testing
