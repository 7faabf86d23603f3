#include "store/ini_text.h"

#include <gtest/gtest.h>

namespace tavlo::ini {
namespace {

TEST(IniText, FindsValuesWithoutRegardToCase) {
  const QByteArray text = "[Recent]\r\nMax = 6 \r\n[frmMain]\r\nTop=1200\r\n";
  EXPECT_EQ(FindValue(text, "recent", "MAX"), QByteArray("6"));
  EXPECT_EQ(FindValue(text, "FRMMAIN", "top"), QByteArray("1200"));
  EXPECT_EQ(FindValue(text, "frmMain", "Left"), std::nullopt);
  EXPECT_EQ(FindValue(text, "Palette", "Top"), std::nullopt);
  EXPECT_EQ(FindValue({}, "Recent", "Max"), std::nullopt);
}

TEST(IniText, KeysBelongOnlyToTheirSection) {
  const QByteArray text = "[A]\nx=1\n[B]\ny=2\n";
  EXPECT_EQ(FindValue(text, "A", "y"), std::nullopt);
  EXPECT_EQ(FindValue(text, "B", "x"), std::nullopt);
}

TEST(IniText, FirstSectionAndFirstKeyWin) {
  const QByteArray text = "[A]\nx=1\nx=2\n[A]\nx=3\ny=4\n";
  EXPECT_EQ(FindValue(text, "A", "x"), QByteArray("1"));
  EXPECT_EQ(FindValue(text, "A", "y"), std::nullopt);
  EXPECT_EQ(WithValue(text, "A", "x", "9"), QByteArray("[A]\nx=9\nx=2\n[A]\nx=3\ny=4\n"));
}

TEST(IniText, ValuesComeBackWholeHoweverLong) {
  const QByteArray longPath = "/home/user/" + QByteArray(500, 'p') + "/picture.gif";
  const QByteArray text = WithValue({}, "Recent", "RecentFile1", longPath);
  EXPECT_EQ(FindValue(text, "Recent", "RecentFile1"), longPath);
}

TEST(IniText, WritingCreatesSectionAndKeyAndKeepsOtherLines) {
  QByteArray text = WithValue({}, "Recent", "Max", "4");
  EXPECT_EQ(text, QByteArray("[Recent]\r\nMax=4\r\n"));
  text = WithValue(text, "frmMain", "Top", "0");
  text = WithValue(text, "frmMain", "Left", "15");
  text = WithValue(text, "recent", "max", "5");
  EXPECT_EQ(text, QByteArray("[Recent]\r\nMax=5\r\n[frmMain]\r\nTop=0\r\nLeft=15\r\n"));

  // The new key goes after the section's last non-blank line, before the blank lines.
  const QByteArray commented = "; my notes\n[Recent]\nMax=4\n\n[Other]\nkeep = me\n";
  EXPECT_EQ(WithValue(commented, "Recent", "RecentFile1", "/a.gif"),
            QByteArray("; my notes\n[Recent]\nMax=4\nRecentFile1=/a.gif\n\n[Other]\nkeep = me\n"));
}

TEST(IniText, SurvivesOddText) {
  const QByteArray odd =
      QByteArray("[Recent\nMax\n=5\n[]\n\0\0junk=\x01\xff\n", 27) + "[Recent]\nMax=7";
  EXPECT_EQ(FindValue(odd, "Recent", "Max"), std::nullopt);  // the first [Recent] has no Max
  const QByteArray written = WithValue(odd, "Recent", "Max", "4");
  EXPECT_EQ(FindValue(written, "Recent", "Max"), QByteArray("4"));
  EXPECT_TRUE(written.startsWith(odd.left(10)));
  // A lone carriage return at the end of a section line is a blank, not part of the name.
  const QByteArray loneCr = WithValue("[Recent\r", "Recent", "Max", "4");
  EXPECT_EQ(FindValue(loneCr, "Recent", "Max"), QByteArray("4"));
  // A section's last line without a line end gets one before the new key.
  EXPECT_EQ(WithValue("[A]\nx=1", "A", "y", "2"), QByteArray("[A]\nx=1\ny=2\n"));
}

}  // namespace
}  // namespace tavlo::ini
