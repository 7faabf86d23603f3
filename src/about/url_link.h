#pragma once
// `URLLink`: a hyperlink label. A press of the left mouse button on its text announces the click
// through `GoToURL`, whose handlers may rewrite the address or cancel, and then has the desktop
// open the address with its default handler (a web page, or a file of a known type). The
// element keeps three properties, `Text`, `URL` and `ShowToolTip`, and stores and restores them
// through a `PropertyBag`.
#include <QString>
#include <QUrl>
#include <QWidget>
#include <functional>

class QLabel;

namespace tavlo {

class PropertyBag;

// Asks the desktop to open an address; true when the desktop took the request.
using UrlOpener = std::function<bool(const QUrl&)>;
// Replaces the way addresses are opened for the whole program (tests open no browser); an
// empty opener brings back the desktop's default handler.
void SetUrlOpener(UrlOpener opener);

class URLLink : public QWidget {
  Q_OBJECT
 public:
  // A new instance: the default text, the default address, no tooltip.
  explicit URLLink(QWidget* parent = nullptr);

  // The text shown. Setting it sizes the label to the text.
  QString Text() const;
  void SetText(const QString& text);
  // The address opened on a click.
  QString URL() const { return url_; }
  void SetURL(const QString& url);
  // Whether the label shows the address as its tooltip.
  bool ShowToolTip() const { return showToolTip_; }
  void SetShowToolTip(bool show);

  // Life cycle of the stored properties: a new instance, reading them when the containing
  // window is loaded (missing or unusable values give the defaults), and writing them (values
  // equal to their defaults are left out).
  void InitProperties();
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  QLabel* Label() const { return lblURL_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 signals:
  // Raised before the address is opened. A handler connected directly may change `url` (the
  // address that will be opened) and set `cancel` to open nothing.
  void GoToURL(QString& url, bool& cancel);
  // A property was set: "Text", "URL" or "ShowToolTip".
  void PropertyChanged(const QString& name);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ApplyToolTipRule();
  void FollowLink();

  QLabel* lblURL_ = nullptr;
  QString url_;
  bool showToolTip_ = false;
};

}  // namespace tavlo
