#include "about/about_texts.h"

#include <QStringList>

#include "store/version_caption.h"

namespace tavlo {

const QString kComments = QStringLiteral("A palette editor for pictures of 256 colours.");
const QString kLegalNotice = QStringLiteral("Copyright \u00A9 2026 the Tavlo developers.");
const QString kTrademarkNotice =
    QStringLiteral("Other names of products mentioned here belong to their owners.");

const QString kMakerName = QStringLiteral("The Tavlo developers");
const QString kDefaultLinkText = QStringLiteral("Tavlo home page");
// The project's addresses; .example is a reserved domain that never leads to anyone else.
const QString kDefaultLinkAddress = QStringLiteral("https://tavlo.example/");
const QString kDownloadAddress = QStringLiteral("https://tavlo.example/download/");

QString VersionLine(int major, int minor, int revision) {
  return QStringLiteral("Version ") + VersionText(major, minor, revision);
}

QString InformationText() {
  const QStringList lines = {
      kLegalNotice,
      QString(),
      QStringLiteral("Description"),
      QStringLiteral("Tavlo is a simple, but powerful palette editor for ADOBE Photoshop, JASC "
                     "Paintshop, Corel Painter and all programs using ACT-, ACO-, PAL- or "
                     "TXT-palette files."),
      QStringLiteral("With this tool, you can manually optimize the color palette of pictures "
                     "and create smaller GIF files without visible losses."),
      QString(),
      QStringLiteral("Distribution"),
      QStringLiteral("You may copy Tavlo and give it away freely, as long as you give it away "
                     "complete and unchanged and take no money for it."),
      QStringLiteral("You may not sell Tavlo, or distribute it together with other products, "
                     "without written permission of the Tavlo developers."),
      QString(),
      QStringLiteral("Warranty"),
      QStringLiteral("Tavlo is provided as it is, without warranty of any kind, express or "
                     "implied, including fitness for a particular purpose."),
      QStringLiteral("The Tavlo developers are not liable for any loss or damage that comes "
                     "from using Tavlo or from being unable to use it. Keep copies of your "
                     "palettes and pictures."),
  };
  QString text;
  for (const QString& line : lines) text += line + QLatin1Char('\n');
  return text;
}

}  // namespace tavlo
