// tavlo-cli convert against the window program: the same file opened into a fresh palette and
// saved under the same name with the same answers gives the same bytes, for every format Tavlo
// reads and every one it writes.
#include <QAction>
#include <QDir>

#include "cli/cli_io.h"
#include "cli_test_support.h"
#include "formats/palette_formats.h"
#include "palette_model/palette_document.h"
#include "support/app_fixture.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

// What the save command asks for, and the same answer on the command line.
struct SaveChoice {
  QString ending;
  QStringList options;  // for tavlo-cli
  std::optional<bool> only16;
  std::optional<EntryRange> range;  // nullopt: the entries the file holds
};

class ConvertCommandTest : public AppFixture {
 protected:
  void SetUp() override { StartApp(); }

  // What the window program writes to `out` after opening `in` into a fresh palette.
  QByteArray SavedByTheWindow(const QString& in, const SaveChoice& choice, int held) {
    Document().Apply("Fresh palette", PaletteColors{});
    OpenPalette(in);
    // Some formats store the file's base name, so both go by the same name.
    QDir().mkpath(TempPath("window"));
    const QString out = TempPath("window/out." + choice.ending);
    QFile::remove(out);
    dialogs_.AnswerSave(out);
    if (choice.only16) dialogs_.AnswerYesNo(*choice.only16);
    if (FormatForEnding(choice.ending)->saved == SavedEntries::AskedRange) {
      const EntryRange range = choice.range.value_or(EntryRange{0, held - 1});
      dialogs_.AnswerInputs({QString::number(range.first + 1), QString::number(range.last + 1)});
    }
    Trigger("mnu_s16");
    EXPECT_TRUE(dialogs_.AllAnswersUsed());
    return ReadBytes(out);
  }

  QByteArray WrittenByTheCli(const QString& in, const SaveChoice& choice) {
    QDir().mkpath(TempPath("cli"));
    const QString out = TempPath("cli/out." + choice.ending);
    QFile::remove(out);
    const CliRun run = RunCli(QStringList{"convert", in, out} + choice.options);
    EXPECT_EQ(run.code, cli::kExitSuccess) << run.err.toStdString();
    return ReadBytes(out);
  }

  // The first file of each corpus folder of a format Tavlo reads that holds colours.
  std::vector<QString> CorpusInputs() {
    std::vector<QString> inputs;
    for (const PaletteFormat& format : PaletteFormats()) {
      if (format.ending.isEmpty() || !format.read) continue;
      const QDir folder(CorpusPath(format.ending));
      for (const QString& name : folder.entryList({"*." + format.ending}, QDir::Files)) {
        if (!ReadPaletteFile(format, folder.filePath(name)).colors.empty()) {
          inputs.push_back(folder.filePath(name));
          break;
        }
      }
    }
    return inputs;
  }

  std::vector<SaveChoice> Choices() {
    std::vector<SaveChoice> choices = {
        {"act", {}, std::nullopt, std::nullopt},
        {"pal", {}, false, std::nullopt},
        {"pal", {"--count", "16"}, true, std::nullopt},
        {"pal", {"--count", "256"}, false, std::nullopt},
    };
    for (const PaletteFormat& format : PaletteFormats()) {
      if (!format.write || format.saved != SavedEntries::AskedRange) continue;
      choices.push_back({format.ending, {}, std::nullopt, std::nullopt});
      choices.push_back({format.ending, {"--range", "3-20"}, std::nullopt, EntryRange{2, 19}});
      choices.push_back({format.ending, {"-r", "256"}, std::nullopt, EntryRange{255, 255}});
    }
    return choices;
  }
};

TEST_F(ConvertCommandTest, WritesWhatTheSaveCommandWritesForEveryPairOfFormats) {
  const std::vector<QString> inputs = CorpusInputs();
  if (inputs.empty())
    GTEST_SKIP() << "the shared corpus is missing: " << CorpusPath("").toStdString();
  EXPECT_GE(inputs.size(), 7u);
  int pairs = 0;
  for (const QString& in : inputs) {
    const int held = int(ReadPaletteFile(*FormatForName(in), in).colors.size());
    for (const SaveChoice& choice : Choices()) {
      SCOPED_TRACE((in + " -> " + choice.ending + " " + choice.options.join(' ')).toStdString());
      const QByteArray expected = SavedByTheWindow(in, choice, std::min(held, kPaletteSize));
      ASSERT_FALSE(expected.isEmpty());
      EXPECT_EQ(WrittenByTheCli(in, choice), expected);
      ++pairs;
    }
  }
  EXPECT_GE(pairs, 7 * 10);
}

TEST_F(ConvertCommandTest, ConvertsItsOwnOutputsBackUnchanged) {
  PaletteColors colors{};
  for (int i = 0; i < kPaletteSize; ++i) colors[size_t(i)] = MakeColor(i, 255 - i, (i * 7) % 256);
  const QString act = TempPath("start.act");
  WriteBytes(act, WritePaletteBytes(*FormatForEnding(u"act"), colors, {0, 255}, act));
  for (const char* ending : {"pal", "gpl", "hex", "aco"}) {
    const QString there = TempPath(QString("there.") + ending);
    const QString back = TempPath(QString("back-") + ending + ".act");
    EXPECT_EQ(RunCli({"convert", act, there}).code, cli::kExitSuccess) << ending;
    EXPECT_EQ(RunCli({"convert", there, back}).code, cli::kExitSuccess) << ending;
    EXPECT_EQ(ReadBytes(back), ReadBytes(act)) << ending;
  }
}

TEST_F(ConvertCommandTest, FailuresNameTheFileAndWriteNothing) {
  const QString act = TempPath("good.act");
  WriteBytes(act, QByteArray(768, '\x40'));
  WriteBytes(TempPath("bad.act"), QByteArray(100, '\x40'));
  WriteBytes(TempPath("taken.pal"), "mine");
  struct Case {
    QStringList arguments;
    QString message;
  };
  const std::vector<Case> cases = {
      {{TempPath("missing.act"), TempPath("a.pal")}, "could not be read: No such file"},
      {{TempPath("bad.act"), TempPath("b.pal")}, "This is not a valid PhotoShop ACT file!"},
      {{TempPath("good.xyz"), TempPath("c.pal")}, "Tavlo reads no palette file of this name"},
      {{act, TempPath("taken.pal")}, "taken.pal exists already (--force replaces it)"},
      {{act, TempPath("no/folder.pal")}, "folder.pal could not be written: No such file"},
  };
  for (const Case& c : cases) {
    const CliRun run = RunCli(QStringList{"convert"} + c.arguments);
    EXPECT_EQ(run.code, cli::kExitSomeFailed) << c.arguments.join(' ').toStdString();
    EXPECT_TRUE(run.err.startsWith("tavlo-cli: ")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
  }
  EXPECT_EQ(ReadBytes(TempPath("taken.pal")), "mine");
  EXPECT_EQ(QDir(TempPath("")).entryList({"*.pal"}, QDir::Files | QDir::Hidden),
            QStringList({"taken.pal"}));

  EXPECT_EQ(RunCli({"convert", act, TempPath("taken.pal"), "--force"}).code, cli::kExitSuccess);
  EXPECT_TRUE(ReadBytes(TempPath("taken.pal")).startsWith("JASC-PAL"));
}

}  // namespace
}  // namespace tavlo::testing
