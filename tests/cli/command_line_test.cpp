// Reading tavlo-cli's command lines: the values of the shared options, usage errors with exit
// code 2 before anything is done, and the help of every command.
#include <gtest/gtest.h>

#include <map>

#include "cli/command_line.h"
#include "cli_test_support.h"

namespace tavlo::testing {
namespace {

using cli::ParseEntryRange;

TEST(EntryRangeOption, TakesOneBasedNumbersAsIndexes) {
  EXPECT_EQ(ParseEntryRange("1-256"), (EntryRange{0, 255}));
  EXPECT_EQ(ParseEntryRange(" 5 - 17 "), (EntryRange{4, 16}));
  EXPECT_EQ(ParseEntryRange("9"), (EntryRange{8, 8}));
  for (const char* wrong : {"0-5", "5-4", "1-257", "", "-", "a-b", "1-2-3", "1,5", "-5", "0001-2"})
    EXPECT_EQ(ParseEntryRange(wrong), std::nullopt) << wrong;
}

TEST(WholeNumberOption, IsDecimalWithinItsBounds) {
  EXPECT_EQ(cli::ParseWholeNumber("4", 1, 256), 4);
  EXPECT_EQ(cli::ParseWholeNumber(" 256", 1, 256), 256);
  for (const char* wrong : {"0", "257", "0x10", "4.0", "", "four", "-1"})
    EXPECT_EQ(cli::ParseWholeNumber(wrong, 1, 256), std::nullopt) << wrong;
}

TEST(TavloCli, WithoutACommandOrWithAnUnknownOneIsAUsageError) {
  const CliRun none = RunCli({});
  EXPECT_EQ(none.code, cli::kExitUsage);
  EXPECT_TRUE(none.out.isEmpty());
  EXPECT_TRUE(none.err.contains("Usage: tavlo-cli COMMAND")) << none.err.toStdString();

  const CliRun unknown = RunCli({"shrink", "a.png"});
  EXPECT_EQ(unknown.code, cli::kExitUsage);
  EXPECT_TRUE(unknown.err.contains("'shrink' is no command")) << unknown.err.toStdString();
}

TEST(TavloCli, HelpAndVersionGoToStdoutAndSucceed) {
  const CliRun help = RunCli({"--help"});
  EXPECT_EQ(help.code, cli::kExitSuccess);
  for (const char* command : {"convert", "reduce", "measure", "palette"})
    EXPECT_TRUE(help.out.contains(QString("  ") + command)) << command;
  EXPECT_TRUE(help.err.isEmpty());

  const CliRun version = RunCli({"--version"});
  EXPECT_EQ(version.code, cli::kExitSuccess);
  EXPECT_TRUE(version.out.startsWith("tavlo-cli ")) << version.out.toStdString();
}

TEST(TavloCli, EveryCommandHasAHelpWithItsOptionsAndAnExample) {
  const std::map<QString, QStringList> options = {
      {"convert", {"--range A-B", "--count 16|256", "--force"}},
      {"reduce",
       {"--palette FILE", "--range A-B", "--format gif|png|bmp", "--lossy T", "--out DIR",
        "--jobs N", "--force", "--quiet"}},
      {"measure",
       {"--palette FILE", "--range A-B", "--lossy T", "--json", "--viewing PPD", "--loss-map DIR",
        "--jobs N", "--quiet"}},
      {"palette",
       {"--colors N", "--merge DE", "--target SPEC", "--lossy T", "--out FILE", "--count 16|256",
        "--jobs N", "--force", "--quiet"}},
  };
  for (const auto& [command, names] : options) {
    for (const char* help : {"--help", "-h"}) {
      const CliRun run = RunCli({command, help});
      EXPECT_EQ(run.code, cli::kExitSuccess) << command.toStdString();
      EXPECT_TRUE(run.out.startsWith("Usage: tavlo-cli " + command + " ")) << run.out.toStdString();
      for (const QString& name : names)
        EXPECT_TRUE(run.out.contains(name)) << command.toStdString() << " " << name.toStdString();
      EXPECT_TRUE(run.out.contains("Example:\n  tavlo-cli " + command + " "));
    }
  }
}

TEST(TavloCli, UsageErrorsNameTheCommandAndPointToItsHelp) {
  struct Case {
    QStringList arguments;
    QString message;
  };
  const std::vector<Case> cases = {
      {{"convert", "a.act"}, "Too few arguments."},
      {{"convert", "a.act", "b.pal", "c.pal"}, "Unexpected argument 'c.pal'."},
      {{"convert", "--colour", "a.act", "b.pal"}, "Unknown option 'colour'."},
      {{"convert", "a.act", "b.aco", "--range"}, "Missing value after '--range'."},
      {{"convert", "a.act", "b.aco", "--range", "0-3"}, "--range takes A-B"},
      {{"convert", "a.act", "b.act", "--range", "1-3"}, "--range does not apply"},
      {{"convert", "a.act", "b.pal", "--count", "15"}, "--count takes 16 or 256, not '15'."},
      {{"convert", "a.act", "b.aco", "--count", "16"}, "--count applies to .pal files only."},
      {{"convert", "a.act", "b.gif"}, "Tavlo writes no palette file of the ending of b.gif"},
      // A bad budget is reported before the palette (which does not exist) is read.
      {{"reduce", "a.png", "--palette", "none.act", "--lossy", "10.5"},
       "--lossy takes a CIEDE2000 difference from 0 to 10, not '10.5'."},
      {{"measure", "a.png", "--palette", "none.act", "--lossy", "-1"}, "--lossy takes"},
      {{"palette", "a.png", "--colors", "8", "--target", "9000", "--lossy", "two"},
       "--lossy takes"},
      {{"reduce", "a.png", "--palette", "none.act", "--format", "png", "--lossy", "2"},
       "--lossy applies to GIF output only."},
      {{"palette", "a.png", "--colors", "8", "--lossy", "2"},
       "--lossy applies to a --target GIF size or visible share only."},
      {{"palette", "a.png", "--colors", "8", "--target", "5 %", "--viewing", "60"},
       "--viewing applies to a --target visible share only."},
      {{"palette", "a.png", "--colors", "8", "--target", "5 % visible", "--viewing", "0.5"},
       "--viewing takes samples per degree from 1 to 1000, not '0.5'."},
  };
  for (const Case& c : cases) {
    const CliRun run = RunCli(c.arguments);
    EXPECT_EQ(run.code, cli::kExitUsage) << c.arguments.join(' ').toStdString();
    EXPECT_TRUE(run.err.startsWith("tavlo-cli " + c.arguments[0] + ": ")) << run.err.toStdString();
    EXPECT_TRUE(run.err.section('\n', 0, 0).contains(c.message)) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Try 'tavlo-cli " + c.arguments[0] + " --help'."));
    EXPECT_TRUE(run.out.isEmpty());
  }
}

}  // namespace
}  // namespace tavlo::testing
