#include "store/settings_store.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "store/whole_number.h"
#include "support/fault_injection.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

TEST(WholeNumber16, RoundsHalvesToEvenAndRefusesTheRest) {
  EXPECT_EQ(ParseWholeNumber16("6"), 6);
  EXPECT_EQ(ParseWholeNumber16("04"), 4);
  EXPECT_EQ(ParseWholeNumber16(" 12 "), 12);
  EXPECT_EQ(ParseWholeNumber16("4.5"), 4);
  EXPECT_EQ(ParseWholeNumber16("5.5"), 6);
  EXPECT_EQ(ParseWholeNumber16("4.51"), 5);
  EXPECT_EQ(ParseWholeNumber16("-1200"), -1200);
  EXPECT_EQ(ParseWholeNumber16("-2.5"), -2);
  EXPECT_EQ(ParseWholeNumber16("32767"), 32767);
  EXPECT_EQ(ParseWholeNumber16("-32768"), -32768);
  for (const char* bad : {"", "abc", "70000", "32768", "-32769", "12abc", ".", "-", "1e3",
                          "99999999999999999999999"}) {
    EXPECT_EQ(ParseWholeNumber16(QString::fromLatin1(bad)), std::nullopt) << bad;
  }
  EXPECT_EQ(WholeNumber16Or("abc", 4), 4);
}

class SettingsFile : public ::testing::Test {
 protected:
  QTemporaryDir dir;
  QString path = dir.filePath("tavlo.ini");
};

TEST_F(SettingsFile, MissingFileGivesDefaultsAndWriteCreatesIt) {
  EXPECT_EQ(ReadSetting(path, "frmMain", "Top", 0), "0");
  EXPECT_EQ(ReadSetting(path, "Palette", "Palettepath", ""), "");
  EXPECT_TRUE(WriteSetting(path, "Palette", "Palettepath", "/home/u/pal/"));
  EXPECT_EQ(ReadSetting(path, "PALETTE", "palettepath", ""), "/home/u/pal/");
}

TEST_F(SettingsFile, WritesReplaceTheFileAtomicallyAndKeepForeignLines) {
  WriteBytes(path, "# kept\n[Mine]\nA=1\n");
  EXPECT_TRUE(WriteSetting(path, "Recent", "Max", "4"));
  EXPECT_EQ(ReadBytes(path), QByteArray("# kept\n[Mine]\nA=1\n[Recent]\nMax=4\n"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"tavlo.ini"});
}

TEST_F(SettingsFile, UnicodePathsRoundTrip) {
  const QString value = QStringLiteral("/home/jörg/Bilder & Paletten/");
  EXPECT_TRUE(WriteSetting(path, "frmMain", "Imagepath", value));
  EXPECT_EQ(ReadSetting(path, "frmMain", "Imagepath", ""), value);
}

TEST_F(SettingsFile, FailedWriteIsReportedAndChangesNothing) {
  const QString missingDir = dir.filePath("gone/tavlo.ini");
  EXPECT_FALSE(WriteSetting(missingDir, "Recent", "Max", "4"));
  EXPECT_FALSE(QFile::exists(missingDir));
}

TEST(SettingsPath, BesideTheExecutableOrInTheConfigDirectory) {
  const auto writable = [](const QString&) { return true; };
  const auto readOnly = [](const QString&) { return false; };
  EXPECT_EQ(ChooseSettingsPath("/opt/tavlo/bin/tavlo", "/home/u/.config/tavlo", writable),
            "/opt/tavlo/bin/tavlo.ini");
  EXPECT_EQ(ChooseSettingsPath("/tavlo", "/cfg", writable), "/tavlo.ini");
  EXPECT_EQ(ChooseSettingsPath("/opt/x/Tavlo.bin", "/cfg", writable), "/opt/x/Tavlo.ini");
  QTemporaryDir config;
  const QString configDir = config.filePath("sub/tavlo");
  EXPECT_EQ(ChooseSettingsPath("/usr/bin/tavlo", configDir, readOnly), configDir + "/tavlo.ini");
  EXPECT_TRUE(QDir(configDir).exists());
}

TEST(FileExistsProbe, FalseOnlyForAMissingFileInAnExistingDirectory) {
  QTemporaryDir dir;
  const QString present = dir.filePath("a.act");
  WriteBytes(present, "x");
  EXPECT_TRUE(FileExists(present));
  EXPECT_FALSE(FileExists(dir.filePath("missing.act")));
  EXPECT_TRUE(FileExists(dir.filePath("no-such-dir/missing.act")));
}

}  // namespace
}  // namespace tavlo::testing

namespace tavlo::testing {
namespace {

// A settings write that cannot happen is silent (the program runs on with the values it has), but
// it never damages the file that is there.
TEST(SettingsFaults, FailedWritesLeaveTheFileWholeAndNoTemporaryFile) {
  for (const bool fullDisk : {true, false}) {
    QTemporaryDir dir;
    const QString path = dir.filePath("tavlo.ini");
    const QByteArray old = "[Recent]\r\nMax=4\r\n[Notes]\r\nText=" + QByteArray(4000, 'n') + "\r\n";
    WriteBytes(path, old);
    ChildLimits limits;
    if (fullDisk) {
      limits.maxFileBytes = 100;
    } else {
      limits.unprivileged = true;
      MakeReadOnlyForOthers(dir.path());
    }
    EXPECT_EQ(RunInChild(limits, [&] { return WriteSetting(path, "Recent", "Max", "6") ? 1 : 0; }),
              0);
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"tavlo.ini"});
  }
}

}  // namespace
}  // namespace tavlo::testing
