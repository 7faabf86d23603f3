#pragma once
// The fonts libwmf draws metafiles with. It knows the 13 standard PostScript faces by name and
// looks for them as the Type 1 files of the Debian package fonts-urw-base35; without the face it
// starts every drawing with, it refuses every metafile, with text or without, as if it were
// damaged. So each standard face that is not installed is pointed at a DejaVu face instead: the
// shapes then still come out, and text in a near face.
#include <QString>
#include <string>
#include <vector>

namespace tavlo {

inline constexpr char kStandardWmfFontDir[] = "/usr/share/fonts/type1/urw-base35";
inline constexpr char kSubstituteWmfFontDir[] = "/usr/share/fonts/truetype/dejavu";

struct WmfFontSubstitute {
  std::string face;  // PostScript name, e.g. "Helvetica-Bold"
  std::string file;  // file name in WmfFontPlan::substituteDir
};

struct WmfFontPlan {
  std::string substituteDir;
  std::vector<WmfFontSubstitute> substitutes;  // for the standard faces that are not installed
  std::vector<std::string> missing;            // faces neither installed nor substituted
};

// Which standard faces are installed in `standardDir`, and a substitute from `substituteDir` for
// each of the others where one is there.
WmfFontPlan PlanWmfFonts(const QString& standardDir, const QString& substituteDir);
// The same for this system's font directories.
WmfFontPlan SystemWmfFonts();

// What a metafile that could not be drawn is reported with when faces are missing.
QString MissingWmfFontsReason();

}  // namespace tavlo
