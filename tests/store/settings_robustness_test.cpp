// The settings file survives anything: a start-up on a damaged file falls back to defaults, keeps
// what it does not understand, and concurrent writers never leave a mixed or cut file.
#include <QRandomGenerator>
#include <atomic>
#include <thread>

#include "palette_window/palette_window.h"
#include "result/result_window.h"
#include "store/ini_text.h"
#include "store/process_state.h"
#include "store/settings_store.h"
#include "support/app_fixture.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

class SettingsRobustnessTest : public AppFixture {
 protected:
  // Starts and closes the program on the given file content; returns the content afterwards.
  QByteArray StartAndCloseOn(const QByteArray& content) {
    WriteBytes(SettingsPath(), content);
    StartApp();
    EXPECT_TRUE(Main().isVisible());
    CloseApp();
    return ReadBytes(SettingsPath());
  }
};

TEST_F(SettingsRobustnessTest, GarbageBytesFallBackToDefaultsAndAreKept) {
  QByteArray garbage(64 * 1024, '\0');
  QRandomGenerator random(7);
  for (char& c : garbage) c = static_cast<char>(random.bounded(256));
  garbage.replace('[', '(');  // so that no section can start by chance
  const QByteArray after = StartAndCloseOn(garbage);
  EXPECT_EQ(Process().recentMax, 4);
  EXPECT_TRUE(after.startsWith(garbage));
  EXPECT_EQ(ini::FindValue(after, "Recent", "Max"), QByteArray("4"));
}

TEST_F(SettingsRobustnessTest, MalformedLinesDuplicatesAndNulBytes) {
  static const char kRecent[] =
      "[Recent]\nMax=\0"
      "9\nMax=2\n[Recent]\nMax=3\n";
  const QByteArray odd = QByteArray("no equals sign\n[frmMain\nTop=15000\n]\n=7\n") +
                         QByteArray(kRecent, sizeof kRecent - 1) +
                         "[frmMain]\nTop=300\nTop=600\nLeft=" + QByteArray(100000, '9') + "\n";
  const QByteArray after = StartAndCloseOn(odd);
  // "Max=\0 9": the first key wins and is no number, so the default 4 applies.
  EXPECT_EQ(Process().recentMax, 4);
  EXPECT_EQ(ini::FindValue(after, "Recent", "Max"), QByteArray("4"));
  // The unterminated "[frmMain" line opens frmMain too, with Top=15000 in it: first one wins.
  EXPECT_TRUE(after.contains("no equals sign\n"));
  EXPECT_TRUE(after.contains("[Recent]\nMax=3\n"));
}

TEST_F(SettingsRobustnessTest, TenMegabyteFileStillStarts) {
  QByteArray big;
  big.reserve(10 * 1024 * 1024 + 100);
  for (int i = 0; big.size() < 10 * 1024 * 1024; ++i)
    big += "[S" + QByteArray::number(i) + "]\nk=v\n";
  big += "[frmMain]\nTop=1500\nLeft=3000\n";
  WriteBytes(SettingsPath(), big);
  StartApp();
  EXPECT_EQ(Main().pos(), QPoint(200, 100));
  CloseApp();
  EXPECT_TRUE(ReadBytes(SettingsPath()).startsWith(big.left(big.size() - 30)));
}

// Two writers (as two running copies of the program would be) hammer one settings file while a
// reader checks that every version it sees is complete.
TEST_F(SettingsRobustnessTest, ConcurrentWritersNeverLeaveAMixedFile) {
  const QString path = SettingsPath();
  const QByteArray filler = "[Notes]\nText=" + QByteArray(20000, 'x') + "\n";
  WriteBytes(path, filler);
  std::atomic<bool> done = false;
  std::atomic<int> badReads = 0;
  auto writer = [&](const QString& key) {
    for (int i = 0; i < 150; ++i) WriteSetting(path, "frmMain", key, QString::number(i));
  };
  std::thread reader([&] {
    while (!done) {
      const QByteArray text = ReadBytes(path);
      if (!text.startsWith(filler) || !text.endsWith('\n')) ++badReads;
    }
  });
  std::thread a(writer, QStringLiteral("Top"));
  std::thread b(writer, QStringLiteral("Left"));
  a.join();
  b.join();
  done = true;
  reader.join();
  EXPECT_EQ(badReads, 0);
  const QByteArray final = ReadBytes(path);
  EXPECT_TRUE(final.startsWith(filler));
  // Last writer wins per key, but a key that was written last is never lost.
  EXPECT_TRUE(ini::FindValue(final, "frmMain", "Top") == QByteArray("149") ||
              ini::FindValue(final, "frmMain", "Left") == QByteArray("149"));
}

// The result window's loss budget between runs: a value that is no budget from 0 to 10 is 0,
// without a word; the budget set is kept; a budget of 0 never set leaves the file alone.
TEST_F(SettingsRobustnessTest, LossBudgetFallsBackToZeroAndIsKept) {
  for (const char* stored : {"abc", "-1", "10.5", "nan", ""}) {
    SCOPED_TRACE(stored);
    const QByteArray after =
        StartAndCloseOn(QByteArray("[Optimize]\r\nLossBudget=") + stored + "\r\n");
    EXPECT_EQ(Main().Result()->Budget(), 0.0);
    EXPECT_EQ(ini::FindValue(after, "Optimize", "LossBudget"), QByteArray("0.0"));
  }
  StartAndCloseOn("[Optimize]\r\nLossBudget=1.5\r\n");
  EXPECT_EQ(Main().Result()->Budget(), 1.5);
  StartApp();
  Main().Result()->SetBudget(2.34);  // shown, and kept, in tenths
  CloseApp();
  EXPECT_EQ(ini::FindValue(ReadBytes(SettingsPath()), "Optimize", "LossBudget"), QByteArray("2.3"));
  EXPECT_FALSE(StartAndCloseOn("[Recent]\r\nMax=4\r\n").contains("Optimize"));
}

}  // namespace
}  // namespace tavlo::testing
