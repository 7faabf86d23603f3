#pragma once
// The about box `frmAbout`: the program's title and version, the information text, the user
// and organisation of the machine, the link to the download page, and a button that starts the
// system-information program when one is installed.
#include <QDialog>

class QAbstractButton;
class QIcon;
class QLabel;

namespace tavlo {

class URLLink;

class AboutBox : public QDialog {
  Q_OBJECT
 public:
  // Fills every element; the machine is asked once, here.
  explicit AboutBox(QWidget* owner);

  // The icon shown in `picIcon` and on the window.
  void SetIcon(const QIcon& icon);

  // The system-information program the second button starts; empty when none is installed.
  const QString& SystemInfoPath() const { return systemInfoPath_; }

 private:
  void cmdAction_Click(int index);

  QLabel* picIcon_ = nullptr;
  URLLink* link_ = nullptr;
  QString systemInfoPath_;
};

// The user values: the full name (or "No user name available") and a line break, then the
// organisation when there is one.
QString UserInfoText(const QString& fullName, const QString& organisation);

}  // namespace tavlo
