#pragma once
// The fixed texts of the about box and of the link label: the program's title, the version
// information's notices, the information text and the maker's addresses.
#include <QString>

namespace tavlo {

inline const QString kProgramTitle = QStringLiteral("Tavlo");

// The version information: comments, legal notice and trademark notice.
extern const QString kComments;
extern const QString kLegalNotice;
extern const QString kTrademarkNotice;

// The maker's name, home page and download page. The link label names its maker by default.
extern const QString kMakerName;
extern const QString kDefaultLinkText;
extern const QString kDefaultLinkAddress;
extern const QString kDownloadAddress;
inline const QString kDownloadToolTip = QStringLiteral("Download the latest Version of Tavlo");

// "Version 0.9.1"; the revision only when it is not 0 ("Version 1.2" for 1.2.0).
QString VersionLine(int major, int minor, int revision);

// The scrolling information text: the legal notice, then the sections "Description",
// "Distribution" and "Warranty", every line ended by a line break.
QString InformationText();

}  // namespace tavlo
