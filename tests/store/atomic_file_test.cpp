#include "store/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <thread>
#include <vector>

#include "support/fault_injection.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

class AtomicFileTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir.filePath(name); }
  QStringList Entries() const {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  }

  QTemporaryDir dir;
  const QByteArray old = QByteArray(3000, 'o');
  const QByteArray fresh = QByteArray(768, 'n');
};

TEST_F(AtomicFileTest, ReplacesTheFileWholeAndKeepsItsPermissions) {
  WriteBytes(Path("p.act"), old);
  QFile::setPermissions(Path("p.act"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
  ASSERT_TRUE(WriteFileAtomically(Path("p.act"), fresh));
  EXPECT_EQ(ReadBytes(Path("p.act")), fresh);
  EXPECT_EQ(QFile::permissions(Path("p.act")) & 0x0FFF, 0x0600 | 0x0040);
  EXPECT_EQ(Entries(), QStringList{"p.act"});
}

// Writes on many threads at once never touch the process's umask, and each new file gets
// 0666 less that umask.
TEST_F(AtomicFileTest, NewFilesWrittenOnManyThreadsGetTheUmasksMode) {
  for (const mode_t mask : {mode_t{022}, mode_t{077}}) {
    const mode_t before = ::umask(mask);
    std::vector<std::thread> writers;
    for (int t = 0; t < 8; ++t) {
      writers.emplace_back([&, t] {
        for (int i = 0; i < 25; ++i)
          (void)WriteFileAtomically(Path(QStringLiteral("%1-%2-%3").arg(mask).arg(t).arg(i)),
                                    fresh);
      });
    }
    for (std::thread& writer : writers) writer.join();
    EXPECT_EQ(::umask(before), mask);
    for (int t = 0; t < 8; ++t) {
      for (int i = 0; i < 25; ++i) {
        struct stat info {};
        ASSERT_EQ(
            ::stat(QFile::encodeName(Path(QStringLiteral("%1-%2-%3").arg(mask).arg(t).arg(i))),
                   &info),
            0);
        EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
      }
    }
  }
}

TEST_F(AtomicFileTest, FollowsALinkAndKeepsIt) {
  WriteBytes(Path("real.act"), old);
  ASSERT_TRUE(QFile::link(Path("real.act"), Path("link.act")));
  ASSERT_TRUE(WriteFileAtomically(Path("link.act"), fresh));
  EXPECT_TRUE(QFileInfo(Path("link.act")).isSymLink());
  EXPECT_EQ(ReadBytes(Path("real.act")), fresh);
}

TEST_F(AtomicFileTest, VanishedDirectoryOrDirectoryInTheWayFails) {
  const WriteResult gone = WriteFileAtomically(Path("gone/p.act"), fresh);
  EXPECT_FALSE(gone);
  EXPECT_FALSE(gone.error.isEmpty());
  QDir().mkdir(Path("p.act"));
  EXPECT_FALSE(WriteFileAtomically(Path("p.act"), fresh));
  EXPECT_EQ(Entries(), QStringList{"p.act"});
}

// Each fault in a child process; the parent checks that the old file is byte-identical and that
// no temporary file was left behind.
TEST_F(AtomicFileTest, FullDiskLeavesTheOldFileWhole) {
  WriteBytes(Path("p.act"), old);
  const int status = RunInChild({.maxFileBytes = 100}, [&] {
    const WriteResult result = WriteFileAtomically(Path("p.act"), fresh);
    return !result.ok && !result.error.isEmpty() ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadBytes(Path("p.act")), old);
  EXPECT_EQ(Entries(), QStringList{"p.act"});
}

TEST_F(AtomicFileTest, ReadOnlyDirectoryAndReadOnlyFileStayUntouched) {
  WriteBytes(Path("p.act"), old);
  MakeReadOnlyForOthers(dir.path());
  const int inReadOnlyDir = RunInChild(
      {.unprivileged = true}, [&] { return WriteFileAtomically(Path("p.act"), fresh).ok ? 1 : 0; });
  EXPECT_EQ(inReadOnlyDir, 0);
  EXPECT_EQ(ReadBytes(Path("p.act")), old);

  // A writable directory, but the file itself is read-only.
  QFile::setPermissions(dir.path(), QFile::Permissions(0x7777));
  QFile::setPermissions(Path("p.act"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
  const int readOnlyFile = RunInChild(
      {.unprivileged = true}, [&] { return WriteFileAtomically(Path("p.act"), fresh).ok ? 1 : 0; });
  EXPECT_EQ(readOnlyFile, 0);
  EXPECT_EQ(ReadBytes(Path("p.act")), old);
  EXPECT_EQ(Entries(), QStringList{"p.act"});
}

}  // namespace
}  // namespace tavlo::testing
