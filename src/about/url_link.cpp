#include "about/url_link.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>

#include "about/about_texts.h"
#include "about/property_bag.h"
#include "dialogs/busy_pointer.h"
#include "dialogs/dialog_service.h"

namespace tavlo {
namespace {

const QString kTextKey = QStringLiteral("Text");
const QString kUrlKey = QStringLiteral("URL");
const QString kShowToolTipKey = QStringLiteral("ShowToolTip");

UrlOpener& InstalledOpener() {
  static UrlOpener opener;
  return opener;
}

bool OpenAddress(const QUrl& address) {
  const UrlOpener& opener = InstalledOpener();
  return opener ? opener(address) : QDesktopServices::openUrl(address);
}

// Failures found before the desktop is asked: the number and description the message shows.
struct AddressFailure {
  int number = 0;
  QString description;
};

// Qt's description of what is wrong with `url`, without the parser's echo of the source.
QString WhyInvalid(const QUrl& url) {
  const QString why = url.errorString().section(QStringLiteral("; source was"), 0, 0).trimmed();
  return why.isEmpty() ? QStringLiteral("The address is not valid") : why;
}

// The address as the desktop understands it: an address with a scheme as written, an absolute
// path as a local file, anything else as a web address ("www.example.org"); or why there is
// none.
QUrl AddressUrl(const QString& address, AddressFailure& failure) {
  const QString trimmed = address.trimmed();
  if (trimmed.isEmpty()) {
    failure = {1, QStringLiteral("The address is empty")};
    return {};
  }
  if (trimmed.startsWith(QLatin1Char('/'))) return QUrl::fromLocalFile(trimmed);
  const QUrl written(trimmed, QUrl::TolerantMode);
  if (!written.scheme().isEmpty()) {
    if (written.isValid()) return written;
    failure = {2, WhyInvalid(written)};
    return {};
  }
  const QUrl guessed = QUrl::fromUserInput(trimmed);
  if (guessed.isValid()) return guessed;
  failure = {2, WhyInvalid(QUrl(trimmed, QUrl::StrictMode))};
  return {};
}

}  // namespace

void SetUrlOpener(UrlOpener opener) {
  InstalledOpener() = std::move(opener);
}

URLLink::URLLink(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("URLLink"));
  QFont linkFont = font();
  linkFont.setUnderline(true);
  setFont(linkFont);

  lblURL_ = new QLabel(this);
  lblURL_->setObjectName(QStringLiteral("lblURL"));
  lblURL_->setTextFormat(Qt::PlainText);
  lblURL_->setCursor(Qt::PointingHandCursor);
  QPalette colors = lblURL_->palette();
  colors.setColor(QPalette::WindowText, colors.color(QPalette::Link));
  lblURL_->setPalette(colors);
  lblURL_->installEventFilter(this);

  InitProperties();
}

QString URLLink::Text() const {
  return lblURL_->text();
}

void URLLink::SetText(const QString& text) {
  lblURL_->setText(text);
  lblURL_->setGeometry(QRect(QPoint(0, 0), fontMetrics().size(0, text)));
  updateGeometry();
  emit PropertyChanged(kTextKey);
}

void URLLink::SetURL(const QString& url) {
  url_ = url;
  ApplyToolTipRule();
  emit PropertyChanged(kUrlKey);
}

void URLLink::SetShowToolTip(bool show) {
  showToolTip_ = show;
  ApplyToolTipRule();
  emit PropertyChanged(kShowToolTipKey);
}

void URLLink::ApplyToolTipRule() {
  lblURL_->setToolTip(showToolTip_ ? url_ : QString());
}

void URLLink::InitProperties() {
  SetText(kDefaultLinkText);
  url_ = kDefaultLinkAddress;  // directly: the tooltip follows from ShowToolTip below
  SetShowToolTip(false);
}

void URLLink::ReadProperties(const PropertyBag& bag) {
  SetText(bag.ReadText(kTextKey, kDefaultLinkText));
  SetURL(bag.ReadText(kUrlKey, kDefaultLinkAddress));
  SetShowToolTip(bag.ReadFlag(kShowToolTipKey, false));
}

void URLLink::WriteProperties(PropertyBag& bag) const {
  bag.WriteProperty(kTextKey, Text(), kDefaultLinkText);
  bag.WriteProperty(kUrlKey, url_, kDefaultLinkAddress);
  bag.WriteProperty(kShowToolTipKey, showToolTip_, false);
}

QSize URLLink::sizeHint() const {
  return lblURL_->size();
}

bool URLLink::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lblURL_ && event->type() == QEvent::MouseButtonPress) {
    if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) FollowLink();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void URLLink::FollowLink() {
  QString address = url_;
  bool cancel = false;
  emit GoToURL(address, cancel);
  if (cancel) return;

  BusyPointer busy;
  AddressFailure failure;
  const QUrl url = AddressUrl(address, failure);
  if (failure.number != 0) {
    // Back to the normal pointer before the user has to read and answer the message.
    busy.Restore();
    Dialogs().MessageBox(window(), kProgramTitle,
                         // One pass, so a '%' in the address stays as it is.
                         QStringLiteral("Unable to load '%1' : %2 (Error %3)")
                             .arg(address, failure.description, QString::number(failure.number)),
                         MessageIcon::None);
    return;
  }
  // Whether the desktop found a handler is its own business: it reports its failures itself.
  OpenAddress(url);
}

}  // namespace tavlo
