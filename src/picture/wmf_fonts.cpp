#include "picture/wmf_fonts.h"

#include <QDir>
#include <QFileInfo>

namespace tavlo {
namespace {

// libwmf's standard faces, the fonts-urw-base35 file it loads for each, and the DejaVu family
// and style that come nearest.
struct StandardFace {
  const char* face;
  const char* urwFile;
  const char* family;
  const char* style;
};

constexpr StandardFace kStandardFaces[] = {
    {"Courier", "NimbusMonoPS-Regular.t1", "DejaVuSansMono", ""},
    {"Courier-Oblique", "NimbusMonoPS-Italic.t1", "DejaVuSansMono", "-Oblique"},
    {"Courier-Bold", "NimbusMonoPS-Bold.t1", "DejaVuSansMono", "-Bold"},
    {"Courier-BoldOblique", "NimbusMonoPS-BoldItalic.t1", "DejaVuSansMono", "-BoldOblique"},
    {"Helvetica", "NimbusSans-Regular.t1", "DejaVuSans", ""},
    {"Helvetica-Oblique", "NimbusSans-Italic.t1", "DejaVuSans", "-Oblique"},
    {"Helvetica-Bold", "NimbusSans-Bold.t1", "DejaVuSans", "-Bold"},
    {"Helvetica-BoldOblique", "NimbusSans-BoldItalic.t1", "DejaVuSans", "-BoldOblique"},
    {"Times-Roman", "NimbusRoman-Regular.t1", "DejaVuSerif", ""},
    {"Times-Italic", "NimbusRoman-Italic.t1", "DejaVuSerif", "-Italic"},
    {"Times-Bold", "NimbusRoman-Bold.t1", "DejaVuSerif", "-Bold"},
    {"Times-BoldItalic", "NimbusRoman-BoldItalic.t1", "DejaVuSerif", "-BoldItalic"},
    {"Symbol", "StandardSymbolsPS.t1", "DejaVuSans", ""},
};

// The first of: the family in the face's style, the family's regular face, DejaVu Sans (the one
// face of the smallest DejaVu package); empty when none is there.
QString Substitute(const QDir& dir, const StandardFace& standard) {
  const QString family = QString::fromLatin1(standard.family);
  const QString candidates[] = {family + QString::fromLatin1(standard.style), family,
                                QStringLiteral("DejaVuSans")};
  for (const QString& name : candidates) {
    const QString file = name + QStringLiteral(".ttf");
    if (QFileInfo(dir.filePath(file)).isFile()) return file;
  }
  return {};
}

}  // namespace

WmfFontPlan PlanWmfFonts(const QString& standardDir, const QString& substituteDir) {
  const QDir standard(standardDir);
  const QDir substitutes(substituteDir);
  WmfFontPlan plan;
  plan.substituteDir = QFile::encodeName(substituteDir).toStdString();
  for (const StandardFace& face : kStandardFaces) {
    if (QFileInfo(standard.filePath(QString::fromLatin1(face.urwFile))).isFile()) continue;
    const QString file = Substitute(substitutes, face);
    if (file.isEmpty())
      plan.missing.emplace_back(face.face);
    else
      plan.substitutes.push_back({face.face, QFile::encodeName(file).toStdString()});
  }
  return plan;
}

WmfFontPlan SystemWmfFonts() {
  return PlanWmfFonts(QString::fromLatin1(kStandardWmfFontDir),
                      QString::fromLatin1(kSubstituteWmfFontDir));
}

QString MissingWmfFontsReason() {
  return QStringLiteral(
             "the fonts for drawing metafiles are not installed (Debian package fonts-urw-base35, "
             "in "
             "%1)")
      .arg(QString::fromLatin1(kStandardWmfFontDir));
}

}  // namespace tavlo
