// tavlo-cli against the window program on the same picture, palette and range: reduce writes the
// bytes of "Export GIF…", "Export PNG…" and the preview's bitmap export, and measure prints the
// result window's figures; palette computes what "Palette from picture", "Merge near colours"
// and "Reduce to target" make of the same picture.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <random>

#include "cli/cli_io.h"
#include "cli_test_support.h"
#include "palette_model/palette_document.h"
#include "picture_view/picture_area.h"
#include "result/result_window.h"
#include "support/app_fixture.h"
#include "support/random_pictures.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

class WindowAgreementTest : public AppFixture {
 protected:
  void SetUp() override {
    std::mt19937 random(3);
    const QImage picture = GradientAndNoise(
        150, 90, 60, [](int x, int y) { return qRgb(x * 4, y * 2, 30); }, random);
    picture_ = TempPath("picture.png");
    ASSERT_TRUE(picture.save(picture_));
    QByteArray act(768, '\0');
    for (char& byte : act) byte = char(random());
    act[3 * 9] = act[3 * 10];  // entries 10 and 11 alike but for red and green
    palette_ = TempPath("palette.act");
    WriteBytes(palette_, act);

    StartApp();
    OpenPicture(picture_);
    OpenPalette(palette_);
    dialogs_.AnswerInputs({"3", "40"});
    Trigger("mnuTest");
    QDir().mkpath(TempPath("window"));
    QDir().mkpath(TempPath("cli"));
  }
  QByteArray Reduced(const char* format, const QStringList& options = {}) {
    const CliRun run =
        RunCli(QStringList{"reduce", picture_, "--palette", palette_, "--range", "3-40", "--format",
                           format, "--out", TempPath("cli"), "--force"} +
               options);
    EXPECT_EQ(run.code, cli::kExitSuccess) << run.err.toStdString();
    return ReadBytes(TempPath(QString("cli/picture.") + format));
  }

  QString picture_, palette_;
};

// Under a loss budget "Export GIF..." writes the budgeted file, the other exports stay exact.
TEST_F(WindowAgreementTest, ReduceWritesWhatTheExportsWrite) {
  std::vector<qsizetype> gifSizes;
  for (const double budget : {0.0, 10.0}) {
    SCOPED_TRACE(budget);
    Main().Result()->SetBudget(budget);
    const QString stem = TempPath(QString("window/exported-%1.").arg(budget));
    dialogs_.AnswerSave(stem + "gif");
    Trigger("mnuExportGif");
    dialogs_.AnswerSave(stem + "png");
    Trigger("mnuExportPng");
    dialogs_.AnswerSave(stem + "bmp");
    QTest::mouseClick(Main().Picture()->Preview(), Qt::RightButton, Qt::NoModifier, {5, 5});
    ASSERT_TRUE(dialogs_.AllAnswersUsed());

    for (const char* format : {"gif", "png", "bmp"}) {
      const QByteArray exported = ReadBytes(stem + format);
      ASSERT_FALSE(exported.isEmpty()) << format;
      const bool lossy = budget > 0 && QByteArray(format) == "gif";
      EXPECT_EQ(Reduced(format, lossy ? QStringList{"--lossy", "10"} : QStringList{}), exported)
          << format;
    }
    gifSizes.push_back(ReadBytes(stem + "gif").size());
  }
  EXPECT_LT(gifSizes[1], gifSizes[0]) << "the budget changed nothing";
}

TEST_F(WindowAgreementTest, MeasurePrintsTheResultWindowsFigures) {
  Trigger("mnuShowResult");
  for (const double budget : {0.0, 10.0}) {
    SCOPED_TRACE(budget);
    Main().Result()->SetBudget(budget);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
          const ResultFigures* figures = Main().Result()->CurrentFigures();
          return figures && figures->budget == budget;
        },
        20000));
    const ResultFigures& shown = *Main().Result()->CurrentFigures();

    QStringList arguments{"measure", picture_, "--palette", palette_, "--range", "3-40", "--json"};
    if (budget > 0)
      arguments << "--lossy"
                << "10";
    const CliRun run = RunCli(arguments);
    ASSERT_EQ(run.code, cli::kExitSuccess) << run.err.toStdString();
    const QJsonObject printed = QJsonDocument::fromJson(run.out.toUtf8()).object();
    EXPECT_EQ(printed["gif_bytes"].toInteger(), shown.GifBytes());
    EXPECT_EQ(printed["table_size"].toInt(), shown.TableSize());
    EXPECT_EQ(printed["range_size"].toInt(), shown.rangeSize);
    EXPECT_EQ(printed["entries_used"].toInt(), shown.entriesUsed);
    EXPECT_EQ(printed["mean_loss"].toDouble(), shown.meanLoss);
    EXPECT_EQ(printed["max_loss"].toDouble(), shown.maxLoss);
    EXPECT_EQ(printed["share_above_one"].toDouble(), shown.shareAboveOne);
    EXPECT_EQ(printed["pixels"].toInteger(), qint64(shown.pixels));
    EXPECT_EQ(printed.contains("lossy"), budget > 0);
    EXPECT_EQ(printed["lossy"].toDouble(), budget);  // 0 when absent
    std::vector<std::uint64_t> usage;
    for (const QJsonValue pixels : printed["usage"].toArray())
      usage.push_back(std::uint64_t(pixels.toInteger()));
    EXPECT_EQ(usage, shown.usage);
    EXPECT_EQ(shown.rangeSize, 38);
  }
}

// The first `count` entries of the palette, as palette prints them.
QStringList HexEntries(const PaletteColors& colors, qsizetype count) {
  QStringList hex;
  for (qsizetype i = 0; i < count; ++i) {
    const ColorValue c = colors[size_t(i)];
    hex << QString::asprintf("%02x%02x%02x", RedOf(c), GreenOf(c), BlueOf(c));
  }
  return hex;
}

TEST_F(WindowAgreementTest, PaletteComputesWhatTheOptimizeCommandsGive) {
  QString said;  // what the last run said on stderr
  const auto printed = [&](const QStringList& options) {
    const CliRun run = RunCli(QStringList{"palette", picture_, "--colors", "24"} + options);
    EXPECT_EQ(run.code, cli::kExitSuccess) << run.err.toStdString();
    said = run.err;
    return run.out.split('\n', Qt::SkipEmptyParts);
  };
  // Each window command works on the entries the step before it filled.
  const QStringList computed = printed({});
  ASSERT_EQ(computed.size(), 24);
  Document().SetWorkingRange({0, 23});
  Trigger("mnuPaletteFromPicture");
  EXPECT_EQ(HexEntries(Document().Colors(), 24), computed);

  const QStringList merged = printed({"--merge", "12"});
  ASSERT_LT(merged.size(), computed.size());
  dialogs_.AnswerInputs({"12"});  // on the working range the step before left
  Trigger("mnuMergeNear");
  EXPECT_EQ(HexEntries(Document().Colors(), merged.size()), merged);
  const PaletteColors afterMerge = Document().Colors();

  for (const char* target : {"99.9 %", "6000", "99.5 % visible"}) {
    SCOPED_TRACE(target);
    const QStringList reduced = printed({"--merge", "12", "--target", target});
    EXPECT_TRUE(said.contains(" reached with ")) << said.toStdString();
    Document().Apply("Back to the merged palette", afterMerge);
    Document().SetWorkingRange({0, int(merged.size()) - 1});
    dialogs_.AnswerInputs({target});
    Trigger("mnuReduceToTarget");
    EXPECT_EQ(HexEntries(Document().Colors(), reduced.size()), reduced);
  }
  EXPECT_TRUE(dialogs_.AllAnswersUsed());
}

}  // namespace
}  // namespace tavlo::testing
