#include "about/about_box.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "about/about_texts.h"
#include "about/url_link.h"
#include "about_doubles.h"
#include "palette_window/palette_window.h"
#include "support/app_fixture.h"
#include "support/scripted_dialogs.h"

namespace tavlo::testing {
namespace {

template <typename T>
T* Indexed(const QWidget& window, const char* name, int index) {
  for (T* child : window.findChildren<T*>(QString::fromLatin1(name))) {
    if (child->property("index").toInt() == index) return child;
  }
  return nullptr;
}

QString LabelText(const QWidget& window, const char* name) {
  const auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
  return label ? label->text() : QStringLiteral("<missing>");
}

class AboutBoxTest : public ::testing::Test {
 protected:
  AboutBox& Open() {
    box_ = std::make_unique<AboutBox>(nullptr);
    return *box_;
  }
  QPushButton* Button(int index) { return Indexed<QPushButton>(*box_, "cmdAction", index); }

  ScriptedDialogs dialogs_;
  FakeMachine machine_;
  RecordingOpener opener_;
  std::unique_ptr<AboutBox> box_;
};

TEST(VersionLine, DropsTheRevisionWhenItIsZero) {
  EXPECT_EQ(VersionLine(0, 9, 1), "Version 0.9.1");
  EXPECT_EQ(VersionLine(1, 2, 0), "Version 1.2");
  EXPECT_EQ(VersionLine(2, 0, 10), "Version 2.0.10");
}

TEST_F(AboutBoxTest, ShowsTitleVersionNoticesAndInformationText) {
  const AboutBox& box = Open();
  EXPECT_EQ(box.objectName(), "frmAbout");
  EXPECT_EQ(box.windowTitle(), "About Tavlo");
  for (int index : {0, 1}) {
    const QLabel* title = Indexed<QLabel>(box, "lblTitle", index);
    ASSERT_NE(title, nullptr) << index;
    EXPECT_EQ(title->text(), "Tavlo");
  }
  EXPECT_EQ(LabelText(box, "lblVersion"), "Version 0.9.1");
  EXPECT_EQ(LabelText(box, "lblDescription"), kComments);
  EXPECT_EQ(LabelText(box, "lblCopyright"), kLegalNotice + "\n" + kTrademarkNotice);
  EXPECT_EQ(LabelText(box, "lblUserLabels"), "User:\nCompany:");

  const auto* information = box.findChild<QPlainTextEdit*>("txtCopyright");
  ASSERT_NE(information, nullptr);
  EXPECT_TRUE(information->isReadOnly());
  const QStringList lines = information->toPlainText().split('\n');
  ASSERT_EQ(lines.size(), 14);  // 13 lines, each ended by a line break
  EXPECT_EQ(lines[0], kLegalNotice);
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "Description");
  EXPECT_EQ(lines[3],
            "Tavlo is a simple, but powerful palette editor for ADOBE Photoshop, JASC Paintshop, "
            "Corel Painter and all programs using ACT-, ACO-, PAL- or TXT-palette files.");
  EXPECT_EQ(lines[4],
            "With this tool, you can manually optimize the color palette of pictures and create "
            "smaller GIF files without visible losses.");
  EXPECT_EQ(lines[5], "");
  EXPECT_EQ(lines[6], "Distribution");
  EXPECT_EQ(lines[9], "");
  EXPECT_EQ(lines[10], "Warranty");
  EXPECT_EQ(lines[13], "");
  for (int paragraph : {7, 8, 11, 12}) EXPECT_FALSE(lines[paragraph].isEmpty()) << paragraph;

  const auto* link = box.findChild<URLLink*>("URLLink1");
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->Text(), kMakerName);
  EXPECT_EQ(link->URL(), kDownloadAddress);
  EXPECT_FALSE(link->ShowToolTip());
  EXPECT_EQ(link->toolTip(), "Download the latest Version of Tavlo");
  EXPECT_TRUE(link->Label()->toolTip().isEmpty());
}

TEST_F(AboutBoxTest, UserLinesShowNameAndOrganisationWhereKnown) {
  struct Case {
    QString name, organisation, expected;
  } cases[] = {
      {"Ada Lovelace", "Analytical Works", "Ada Lovelace\nAnalytical Works"},
      {"Ada Lovelace", "", "Ada Lovelace\n"},
      {"", "", "No user name available\n"},
      {"", "Analytical Works", "No user name available\nAnalytical Works"},
  };
  for (const Case& c : cases) {
    machine_.fullName = c.name;
    machine_.organisation = c.organisation;
    EXPECT_EQ(LabelText(Open(), "lblUserInfo"), c.expected) << c.expected.toStdString();
  }
}

TEST_F(AboutBoxTest, SystemInfoButtonIsDisabledWithoutTool) {
  Open();
  EXPECT_FALSE(Button(1)->isEnabled());
  EXPECT_TRUE(Button(0)->isEnabled());
  EXPECT_TRUE(box_->SystemInfoPath().isEmpty());
}

TEST_F(AboutBoxTest, SystemInfoButtonStartsTheToolFound) {
  machine_.installed[SystemInfoPrograms().first()] = "/opt/tools/sysinfo";
  Open().show();
  ASSERT_TRUE(Button(1)->isEnabled());
  QTest::mouseClick(Button(1), Qt::LeftButton);
  EXPECT_EQ(machine_.started, QStringList{"/opt/tools/sysinfo"});
  EXPECT_TRUE(box_->isVisible());  // the box stays open beside the tool
  EXPECT_TRUE(dialogs_.Calls().empty());

  machine_.startSucceeds = false;
  QTest::mouseClick(Button(1), Qt::LeftButton);
  const auto messages = dialogs_.CallsOf("message");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "Unable to start '/opt/tools/sysinfo'.");
}

TEST_F(AboutBoxTest, OkClosesTheBox) {
  Open().show();
  QTest::mouseClick(Button(0), Qt::LeftButton);
  EXPECT_FALSE(box_->isVisible());
  EXPECT_EQ(box_->result(), QDialog::Accepted);
}

TEST_F(AboutBoxTest, LinkOpensTheDownloadPage) {
  Open().show();
  auto* link = box_->findChild<URLLink*>("URLLink1");
  QTest::mousePress(link->Label(), Qt::LeftButton);
  ASSERT_EQ(opener_.opened.size(), 1u);
  EXPECT_EQ(opener_.opened[0].url, QUrl(kDownloadAddress));
}

// Counts the events a window receives when a modal window blocks and unblocks it.
class BlockingWatch : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::WindowBlocked) ++blocked;
    if (event->type() == QEvent::WindowUnblocked) ++unblocked;
    return false;
  }
  int blocked = 0;
  int unblocked = 0;
};

class AboutCommandTest : public AppFixture {
 protected:
  FakeMachine machine_;
  RecordingOpener opener_;
};

TEST_F(AboutCommandTest, AboutShowsTheBoxModallyWithTheProgramIcon) {
  StartApp();
  BlockingWatch mainWatch, paletteWatch;
  Main().installEventFilter(&mainWatch);
  Palette().installEventFilter(&paletteWatch);
  auto* about = Main().findChild<QAction*>("mnuHelpSel");
  ASSERT_NE(about, nullptr);

  bool inspected = false;
  dialogs_.AnswerModal([&](QDialog& dialog) {
    auto* box = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
    ASSERT_EQ(box, &dialog);
    inspected = true;
    EXPECT_EQ(box->objectName(), "frmAbout");
    EXPECT_EQ(box->parentWidget(), &Main());
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(mainWatch.blocked, 1);
    EXPECT_EQ(paletteWatch.blocked, 1);
    const auto* icon = box->findChild<QLabel*>("picIcon");
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->pixmap().toImage(), Main().windowIcon().pixmap(32, 32).toImage());
    QTest::mouseClick(Indexed<QPushButton>(*box, "cmdAction", 0), Qt::LeftButton);
  });
  about->trigger();
  EXPECT_TRUE(inspected);
  EXPECT_EQ(dialogs_.CallsOf("modal").size(), 1u);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(mainWatch.unblocked, 1);
  EXPECT_EQ(paletteWatch.unblocked, 1);
  EXPECT_TRUE(Main().findChildren<AboutBox*>().isEmpty());
}

}  // namespace
}  // namespace tavlo::testing
