#pragma once
// Every section and key of the settings file, in one place. Spelled exactly as written to disk.
#include <QString>

namespace tavlo::keys {

struct Key {
  const char* section;
  const char* name;
};

inline constexpr Key kMainTop{"frmMain", "Top"};
inline constexpr Key kMainLeft{"frmMain", "Left"};
inline constexpr Key kImagePath{"frmMain", "Imagepath"};
inline constexpr Key kPaletteTop{"frmPalette", "Top"};
inline constexpr Key kPaletteLeft{"frmPalette", "Left"};
inline constexpr Key kResultTop{"frmResult", "Top"};
inline constexpr Key kResultLeft{"frmResult", "Left"};
inline constexpr Key kResultWidth{"frmResult", "Width"};
inline constexpr Key kResultHeight{"frmResult", "Height"};
// The heights of its comparison view and its usage table, in twips.
inline constexpr Key kResultViewHeight{"frmResult", "ViewHeight"};
inline constexpr Key kResultUsageHeight{"frmResult", "UsageHeight"};
inline constexpr Key kRecentMax{"Recent", "Max"};
inline constexpr Key kPalettePath{"Palette", "Palettepath"};
inline constexpr Key kExportPath{"Export", "Exportpath"};
inline constexpr Key kLossBudget{"Optimize", "LossBudget"};
inline constexpr Key kViewingPpd{"Optimize", "ViewingPPD"};
inline constexpr Key kUser{"PersonalInfo", "User"};
// Pictures with alpha: pixels of alpha below the threshold are transparent, the others are laid
// over the matte (six hex digits RRGGBB).
inline constexpr Key kAlphaThreshold{"Optimize", "AlphaThreshold"};
inline constexpr Key kMatte{"Optimize", "Matte"};

inline constexpr int kDefaultRecentMax = 4;

// "RecentFile1", "RecentFile2", ... of section Recent.
inline constexpr const char* kRecentSection = "Recent";
inline QString RecentFileKey(int i) {
  return QStringLiteral("RecentFile%1").arg(i);
}

}  // namespace tavlo::keys
