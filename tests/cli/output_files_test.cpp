// The output rule of tavlo-cli: nothing existing is replaced without --force, no two inputs write
// one file, and no input is replaced by another input's output.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "cli/output_files.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

class OutputFilesTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QTemporaryDir dir_;
};

TEST_F(OutputFilesTest, AnExistingOutputIsRefusedUnlessForced) {
  WriteBytes(Path("old.gif"), "old");
  const QStringList inputs = {Path("a.png"), Path("old.png")};
  const QStringList outputs = {Path("a.gif"), Path("old.gif")};
  const QStringList refused = cli::RefusedOutputs(inputs, outputs, false);
  EXPECT_EQ(refused[0], "");
  EXPECT_EQ(refused[1],
            QDir::toNativeSeparators(Path("old.gif")) + " exists already (--force replaces it)");
  EXPECT_EQ(cli::RefusedOutputs(inputs, outputs, true), QStringList({"", ""}));

  EXPECT_EQ(cli::WriteOutput(Path("old.gif"), "new", false), refused[1]);
  EXPECT_EQ(ReadBytes(Path("old.gif")), "old");
  EXPECT_EQ(cli::WriteOutput(Path("old.gif"), "new", true), "");
  EXPECT_EQ(ReadBytes(Path("old.gif")), "new");
}

TEST_F(OutputFilesTest, AnOutputOfTwoInputsGoesToTheFirstHoweverItIsSpelled) {
  QDir().mkpath(Path("sub"));
  const QStringList inputs = {Path("a.png"), Path("a.jpg"), Path("b.png"), Path("sub/a.bmp")};
  const QStringList outputs = {Path("a.gif"), Path("sub/../a.gif"), Path("b.gif"), Path("./a.gif")};
  const QStringList refused = cli::RefusedOutputs(inputs, outputs, true);
  EXPECT_EQ(refused[0], "");
  EXPECT_TRUE(refused[1].endsWith("is the output of " + QDir::toNativeSeparators(Path("a.png")) +
                                  " already"))
      << refused[1].toStdString();
  EXPECT_EQ(refused[2], "");
  EXPECT_FALSE(refused[3].isEmpty());
}

TEST_F(OutputFilesTest, NoInputIsReplacedByAnotherInputsOutputEvenWhenForced) {
  WriteBytes(Path("a.gif"), "picture");
  WriteBytes(Path("a.png"), "picture");
  // a.png would become a.gif, which is an input itself; a.gif becoming a.gif is its own affair.
  const QStringList inputs = {Path("a.png"), Path("a.gif")};
  const QStringList outputs = {Path("a.gif"), Path("a.gif")};
  const QStringList refused = cli::RefusedOutputs(inputs, outputs, true);
  EXPECT_TRUE(refused[0].contains("would replace the input")) << refused[0].toStdString();
  EXPECT_EQ(refused[1], "");
  EXPECT_EQ(cli::RefusedOutputs({Path("a.gif")}, {Path("a.gif")}, false)[0],
            QDir::toNativeSeparators(Path("a.gif")) +
                " is the input file itself (--force replaces it with the output)");
}

TEST_F(OutputFilesTest, AFailedWriteNamesTheFileAndLeavesNothingBehind) {
  const QString reason = cli::WriteOutput(Path("missing/a.gif"), "bytes", false);
  EXPECT_TRUE(reason.startsWith(QDir::toNativeSeparators(Path("missing/a.gif")) +
                                " could not be written: "))
      << reason.toStdString();
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());
}

}  // namespace
}  // namespace tavlo::testing
