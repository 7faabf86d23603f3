// Every file the program writes for the user, under every fault a disk can throw at it: the
// user gets a message naming the file, the old file stays byte for byte, no temporary file is
// left behind, and the program runs on.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include "palette_model/palette_document.h"
#include "palette_window/palette_window.h"
#include "picture_view/picture_area.h"
#include "support/app_fixture.h"
#include "support/fault_injection.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

enum class Writer { Act, Pal, Aco, Txt, Bmp };
enum class Fault { ReadOnlyDirectory, ReadOnlyFile, FullDisk, VanishedDirectory };

struct Case {
  Writer writer;
  Fault fault;
};

QString Extension(Writer writer) {
  switch (writer) {
    case Writer::Act:
      return "act";
    case Writer::Pal:
      return "pal";
    case Writer::Aco:
      return "aco";
    case Writer::Txt:
      return "txt";
    case Writer::Bmp:
      return "bmp";
  }
  return {};
}

class WriteFaultsTest : public AppFixture, public ::testing::WithParamInterface<Case> {
 protected:
  void SetUp() override {
    StartApp();
    for (int i = 0; i < 256; ++i) Document().SetEntryColor(i, MakeColor(i, 255 - i, 99));
    if (GetParam().writer == Writer::Bmp) ShowPreview();
    QDir().mkpath(TempPath("out"));
    target_ = TempPath("out/old." + Extension(GetParam().writer));
  }

  void ShowPreview() {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    ASSERT_TRUE(picture.save(TempPath("picture.png")));
    OpenPicture(TempPath("picture.png"));
    dialogs_.AnswerInputs({"1", "256"});
    Main().findChild<QAction*>("mnuTest")->trigger();
    ASSERT_TRUE(Main().Picture()->Preview()->isVisible());
  }

  // Runs the save (or export) of the writer under test with scripted answers; true when exactly
  // one message was shown and it names the file.
  bool SaveAndExpectMessage() {
    dialogs_.AnswerSave(target_);
    switch (GetParam().writer) {
      case Writer::Pal:
        dialogs_.AnswerYesNo(false);
        [[fallthrough]];
      case Writer::Act:
        Main().findChild<QAction*>("mnu_s16")->trigger();
        break;
      case Writer::Aco:
      case Writer::Txt:
        dialogs_.AnswerInputs({"1", "256"});
        Main().findChild<QAction*>("mnu_s16")->trigger();
        break;
      case Writer::Bmp:
        QTest::mouseClick(Main().Picture()->Preview(), Qt::RightButton, {}, QPoint(5, 5));
        break;
    }
    QApplication::processEvents();
    const auto messages = dialogs_.CallsOf("message");
    return messages.size() == 1 && messages[0].text.contains(target_) && Main().isVisible();
  }

  QStringList FilesInOut() const {
    return QDir(TempPath("out")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  }

  QString target_;
  const QByteArray old_ = QByteArray(5000, 'o');
};

TEST_P(WriteFaultsTest, OldFileStaysWholeAndTheUserIsTold) {
  const Fault fault = GetParam().fault;
  if (fault == Fault::VanishedDirectory) {
    QDir(TempPath("out")).removeRecursively();
    EXPECT_TRUE(SaveAndExpectMessage());
    EXPECT_FALSE(QDir(TempPath("out")).exists());
    return;
  }
  WriteBytes(target_, old_);
  ChildLimits limits;
  if (fault == Fault::FullDisk) {
    limits.maxFileBytes = 100;
  } else {
    limits.unprivileged = true;
    MakeReadOnlyForOthers(TempPath(""));
    if (fault == Fault::ReadOnlyFile) {
      QFile::setPermissions(TempPath("out"), QFile::Permissions(0x7777));
      QFile::setPermissions(target_, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }
  }
  EXPECT_EQ(RunInChild(limits, [this] { return SaveAndExpectMessage() ? 0 : 1; }), 0)
      << "no message naming " << target_.toStdString();
  EXPECT_EQ(ReadBytes(target_), old_);
  EXPECT_EQ(FilesInOut(), QStringList{"old." + Extension(GetParam().writer)});
}

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (Writer w : {Writer::Act, Writer::Pal, Writer::Aco, Writer::Txt, Writer::Bmp})
    for (Fault f :
         {Fault::ReadOnlyDirectory, Fault::ReadOnlyFile, Fault::FullDisk, Fault::VanishedDirectory})
      cases.push_back({w, f});
  return cases;
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  static const char* faults[] = {"ReadOnlyDirectory", "ReadOnlyFile", "FullDisk",
                                 "VanishedDirectory"};
  return Extension(info.param.writer).toStdString() + "_" +
         faults[static_cast<int>(info.param.fault)];
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, WriteFaultsTest, ::testing::ValuesIn(AllCases()), CaseName);

}  // namespace
}  // namespace tavlo::testing
