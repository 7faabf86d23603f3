#include "about/about_box.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "about/about_texts.h"
#include "about/machine_info.h"
#include "about/property_bag.h"
#include "about/url_link.h"
#include "dialogs/dialog_service.h"
#include "version.h"

namespace tavlo {
namespace {

constexpr int kIconSize = 32;

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  return label;
}

QLabel* NewTitle(QWidget* parent, int index, double scale) {
  QLabel* title = NewLabel(parent, "lblTitle", kProgramTitle);
  title->setProperty("index", index);
  QFont font = title->font();
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * scale);
  title->setFont(font);
  return title;
}

QFrame* NewRule(QWidget* parent) {
  auto* rule = new QFrame(parent);
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  return rule;
}

}  // namespace

QString UserInfoText(const QString& fullName, const QString& organisation) {
  QString text = fullName.isEmpty() ? QStringLiteral("No user name available") : fullName;
  text += QLatin1Char('\n');
  if (!organisation.isEmpty()) text += organisation;
  return text;
}

AboutBox::AboutBox(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("About ") + kProgramTitle);

  picIcon_ = new QLabel(this);
  picIcon_->setObjectName(QStringLiteral("picIcon"));
  picIcon_->setFixedSize(kIconSize, kIconSize);

  QLabel* version =
      NewLabel(this, "lblVersion", VersionLine(kVersionMajor, kVersionMinor, kVersionRevision));
  QLabel* description = NewLabel(this, "lblDescription", kComments);
  description->setWordWrap(true);

  auto* information = new QPlainTextEdit(this);
  information->setObjectName(QStringLiteral("txtCopyright"));
  information->setReadOnly(true);
  information->setPlainText(InformationText());
  information->setMinimumSize(420, 160);

  QLabel* legal =
      NewLabel(this, "lblCopyright", kLegalNotice + QLatin1Char('\n') + kTrademarkNotice);
  legal->setWordWrap(true);

  QLabel* userLabels = NewLabel(this, "lblUserLabels", QStringLiteral("User:\nCompany:"));
  QLabel* userInfo = NewLabel(this, "lblUserInfo",
                              UserInfoText(GetKeyValue(QLatin1String(kRegisteredOwner)),
                                           GetKeyValue(QLatin1String(kRegisteredOrganization))));

  // The link comes up from its stored properties, as a loaded window's elements do.
  link_ = new URLLink(this);
  link_->setObjectName(QStringLiteral("URLLink1"));
  PropertyBag stored;
  stored.WriteProperty(QStringLiteral("Text"), kMakerName, QString());
  stored.WriteProperty(QStringLiteral("URL"), kDownloadAddress, QString());
  stored.WriteProperty(QStringLiteral("ShowToolTip"), false, true);
  link_->ReadProperties(stored);
  link_->setToolTip(kDownloadToolTip);

  QPushButton* buttons[2] = {new QPushButton(QStringLiteral("OK"), this),
                             new QPushButton(QStringLiteral("&System Info..."), this)};
  for (int index = 0; index < 2; ++index) {
    buttons[index]->setObjectName(QStringLiteral("cmdAction"));
    buttons[index]->setProperty("index", index);
    connect(buttons[index], &QPushButton::clicked, this, [this, index] { cmdAction_Click(index); });
  }
  buttons[0]->setDefault(true);

  systemInfoPath_ = FindSystemInfoTool();
  buttons[1]->setEnabled(!systemInfoPath_.isEmpty());

  // Layout: icon and titles on top, the information text, then the legal lines, the user lines
  // and the link beside the buttons.
  auto* heading = new QVBoxLayout;
  heading->addWidget(NewTitle(this, 0, 1.6));
  heading->addWidget(version);
  heading->addWidget(description);
  auto* top = new QHBoxLayout;
  top->addWidget(picIcon_, 0, Qt::AlignTop);
  top->addSpacing(12);
  top->addLayout(heading, 1);

  auto* user = new QHBoxLayout;
  user->addWidget(userLabels, 0, Qt::AlignTop);
  user->addWidget(userInfo, 1, Qt::AlignTop);

  auto* left = new QVBoxLayout;
  left->addWidget(NewTitle(this, 1, 1.0));
  left->addLayout(user);
  left->addWidget(link_, 0, Qt::AlignLeft);
  auto* right = new QVBoxLayout;
  right->addWidget(buttons[0]);
  right->addWidget(buttons[1]);
  right->addStretch();
  auto* bottom = new QHBoxLayout;
  bottom->addLayout(left, 1);
  bottom->addLayout(right);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(information, 1);
  layout->addWidget(legal);
  layout->addWidget(NewRule(this));
  layout->addLayout(bottom);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutBox::SetIcon(const QIcon& icon) {
  setWindowIcon(icon);
  picIcon_->setPixmap(icon.pixmap(kIconSize, kIconSize));
}

void AboutBox::cmdAction_Click(int index) {
  if (index == 0) {
    accept();
    return;
  }
  if (!Machine().StartProgram(systemInfoPath_)) {
    Dialogs().MessageBox(this, kProgramTitle,
                         QStringLiteral("Unable to start '%1'.").arg(systemInfoPath_),
                         MessageIcon::Warning);
  }
}

}  // namespace tavlo
