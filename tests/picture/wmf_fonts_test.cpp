// The fonts metafiles are drawn with, and what a metafile does when they are missing.
#include "picture/wmf_fonts.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "picture/metafile.h"
#include "support/picture_files.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

constexpr QRgb kRed = 0xFFFF0000u;
constexpr QRgb kBlue = 0xFF0000FFu;

class WmfFontsTest : public ::testing::Test {
 protected:
  QString Dir(const QString& name) {
    const QString path = dir_.filePath(name);
    QDir().mkpath(path);
    return path;
  }
  void Touch(const QString& dir, const char* file) {
    WriteBytes(QDir(dir).filePath(QString::fromLatin1(file)), "not a font");
  }
  static std::string SubstituteFor(const WmfFontPlan& plan, const std::string& face) {
    for (const WmfFontSubstitute& s : plan.substitutes)
      if (s.face == face) return s.file;
    return "(none)";
  }
  QTemporaryDir dir_;
};

TEST_F(WmfFontsTest, EachMissingStandardFaceGetsTheNearestSubstitute) {
  const QString standard = Dir("urw");
  const QString dejavu = Dir("dejavu");
  Touch(standard, "NimbusSans-Regular.t1");
  Touch(standard, "NimbusRoman-Bold.t1");
  Touch(dejavu, "DejaVuSans.ttf");
  Touch(dejavu, "DejaVuSerif.ttf");
  Touch(dejavu, "DejaVuSerif-Italic.ttf");
  const WmfFontPlan plan = PlanWmfFonts(standard, dejavu);
  EXPECT_TRUE(plan.missing.empty());
  EXPECT_EQ(plan.substitutes.size(), 11u);  // 13 standard faces, 2 installed
  EXPECT_EQ(SubstituteFor(plan, "Helvetica"), "(none)");
  EXPECT_EQ(SubstituteFor(plan, "Times-Bold"), "(none)");
  EXPECT_EQ(SubstituteFor(plan, "Times-Italic"), "DejaVuSerif-Italic.ttf");  // the same style
  EXPECT_EQ(SubstituteFor(plan, "Times-BoldItalic"), "DejaVuSerif.ttf");     // the family
  EXPECT_EQ(SubstituteFor(plan, "Courier-Bold"), "DejaVuSans.ttf");          // the last resort
  EXPECT_EQ(plan.substituteDir, dejavu.toStdString());
}

TEST_F(WmfFontsTest, FacesWithNeitherFontAreMissing) {
  const WmfFontPlan plan = PlanWmfFonts(Dir("urw"), Dir("dejavu"));
  EXPECT_TRUE(plan.substitutes.empty());
  EXPECT_EQ(plan.missing.size(), 13u);
  EXPECT_TRUE(MissingWmfFontsReason().contains("fonts-urw-base35"));
}

TEST_F(WmfFontsTest, WithoutTheStandardFontsAMetafileStillShowsItsShapes) {
  if (!QFileInfo::exists(QString::fromLatin1(kSubstituteWmfFontDir) + "/DejaVuSans.ttf"))
    GTEST_SKIP() << "no DejaVu fonts in " << kSubstituteWmfFontDir;
  const WmfFontPlan plan =
      PlanWmfFonts(Dir("no-standard-fonts"), QString::fromLatin1(kSubstituteWmfFontDir));
  ASSERT_EQ(plan.substitutes.size(), 13u);
  QString error;
  const QImage shapes = RenderWmf(MakeWmf(60, 30, kRed, QRect(30, 0, 30, 30), kBlue), plan, &error);
  ASSERT_FALSE(shapes.isNull()) << error.toStdString();
  EXPECT_EQ(shapes.size(), QSize(60, 30));
  EXPECT_EQ(shapes.pixel(10, 15) | 0xFF000000u, kRed);
  EXPECT_EQ(shapes.pixel(45, 15) | 0xFF000000u, kBlue);

  // Text comes out too, in the substitute face: dark strokes where there were none.
  const QImage text =
      RenderWmf(MakeWmf(120, 60, kRed, QRect(0, 0, 1, 1), kRed, 96, "Tavlo"), plan, &error);
  ASSERT_FALSE(text.isNull()) << error.toStdString();
  int dark = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 120; ++x) dark += qRed(text.pixel(x, y)) < 64 ? 1 : 0;
  EXPECT_GT(dark, 20);
}

TEST_F(WmfFontsTest, AMetafileThatFailsForWantOfFontsSaysSoNotDamaged) {
  // Every face pointed at a file that is no font, and one face reported missing.
  const QString bogus = Dir("bogus");
  Touch(bogus, "DejaVuSans.ttf");
  WmfFontPlan plan = PlanWmfFonts(Dir("urw"), bogus);
  plan.missing.push_back("Symbol");
  QString error;
  const QByteArray wmf = MakeWmf(60, 30, kRed, QRect(30, 0, 30, 30), kBlue);
  EXPECT_TRUE(RenderWmf(wmf, plan, &error).isNull());
  EXPECT_EQ(error, MissingWmfFontsReason());

  plan.missing.clear();  // all faces there (if broken): the file itself is blamed
  EXPECT_TRUE(RenderWmf(wmf, plan, &error).isNull());
  EXPECT_EQ(error, QStringLiteral("the metafile is damaged"));
}

}  // namespace
}  // namespace tavlo::testing
