// tavlo-cli over an animated GIF: palette counts every frame, and measure's figures of the
// animation are those of its frames added up, its GIF the one reduce writes.
#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "cli/cli_io.h"
#include "cli_test_support.h"
#include "picture/picture_loader.h"
#include "support/pillow.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

class AnimationCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TAVLO_SKIP_WITHOUT_PILLOW();
    gif_ = Path("moving.gif");
    MakeAnimationWithPillow(gif_, 0, QStringLiteral("1,2,3,1,2"));
    const Animation animation = LoadPictureFile(gif_).animation;
    ASSERT_EQ(animation.count, 5);
    for (int k = 0; k < animation.count; ++k) {
      frames_ << Path(QStringLiteral("frame%1.png").arg(k + 1));
      ASSERT_TRUE(animation.Frame(k).save(frames_.back()));
    }
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  // The JSON objects measure prints, one a picture.
  std::vector<QJsonObject> Measure(const QStringList& pictures) const {
    const CliRun run = RunCli(QStringList{"measure"} + pictures +
                              QStringList{"-p", Path("all.act"), "--transparent", "1", "--json"});
    EXPECT_EQ(run.code, cli::kExitSuccess) << run.err.toStdString();
    std::vector<QJsonObject> objects;
    for (const QString& line : run.out.trimmed().split(QLatin1Char('\n')))
      objects.push_back(QJsonDocument::fromJson(line.toUtf8()).object());
    return objects;
  }

  QTemporaryDir dir_;
  QString gif_;
  QStringList frames_;
};

TEST_F(AnimationCommandsTest, PaletteAndMeasureCountEveryFrame) {
  ASSERT_EQ(RunCli({"palette", gif_, "--colors", "8", "--out", Path("all.act")}).code,
            cli::kExitSuccess);
  ASSERT_EQ(RunCli(QStringList{"palette"} + frames_ +
                   QStringList{"--colors", "8", "--out", Path("frames.act")})
                .code,
            cli::kExitSuccess);
  EXPECT_EQ(ReadBytes(Path("all.act")), ReadBytes(Path("frames.act")));

  const std::vector<QJsonObject> whole = Measure({gif_});
  const std::vector<QJsonObject> each = Measure(frames_);
  ASSERT_EQ(whole.size(), 1u);
  ASSERT_EQ(each.size(), 5u);
  const QJsonObject& animation = whole[0];
  EXPECT_EQ(animation["frames"].toInt(), 5);
  qint64 pixels = 0, clear = 0;
  double maxLoss = 0;
  std::vector<qint64> usage(size_t(animation["usage"].toArray().size()), 0);
  for (const QJsonObject& frame : each) {
    EXPECT_EQ(frame["frames"].toInt(), 1);
    pixels += frame["pixels"].toInteger();
    clear += frame["transparent_pixels"].toInteger();
    maxLoss = std::max(maxLoss, frame["max_loss"].toDouble());
    const QJsonArray counts = frame["usage"].toArray();
    for (qsizetype i = 0; i < counts.size(); ++i) usage[size_t(i)] += counts[i].toInteger();
  }
  EXPECT_EQ(animation["pixels"].toInteger(), pixels);
  EXPECT_EQ(animation["transparent_pixels"].toInteger(), clear);
  EXPECT_GT(clear, 0);
  EXPECT_DOUBLE_EQ(animation["max_loss"].toDouble(), maxLoss);
  for (size_t i = 0; i < usage.size(); ++i)
    EXPECT_EQ(animation["usage"].toArray()[qsizetype(i)].toInteger(), usage[i]) << "entry " << i;

  // Its GIF is the animation reduce writes.
  ASSERT_TRUE(QDir().mkpath(Path("out")));
  ASSERT_EQ(RunCli({"reduce", gif_, "-p", Path("all.act"), "--transparent", "1", "--out",
                    Path("out"), "--quiet"})
                .code,
            cli::kExitSuccess)
      << "reduce";
  EXPECT_EQ(animation["gif_bytes"].toInteger(), ReadBytes(Path("out/moving.gif")).size());
}

// The help of reduce and measure says an animation is written under the budget with --lossy, and
// so it is: measure's figures are those of the file reduce writes under the same budget.
TEST_F(AnimationCommandsTest, HelpSaysTheBudgetAppliesToAnimationsAndItDoes) {
  for (const char* command : {"reduce", "measure"}) {
    const QString help = RunCli({command, "--help"}).out.simplified();
    EXPECT_TRUE(help.contains("with --lossy T") && help.contains("under the budget across frames"))
        << command;
    EXPECT_FALSE(help.contains("whatever --lossy says")) << command;
  }
  ASSERT_EQ(RunCli({"palette", gif_, "--colors", "8", "--out", Path("all.act")}).code,
            cli::kExitSuccess);
  ASSERT_TRUE(QDir().mkpath(Path("out")));
  ASSERT_EQ(RunCli({"reduce", gif_, "-p", Path("all.act"), "--lossy", "10", "--out", Path("out"),
                    "--quiet"})
                .code,
            cli::kExitSuccess);
  const CliRun measured =
      RunCli({"measure", gif_, "-p", Path("all.act"), "--lossy", "10", "--json"});
  ASSERT_EQ(measured.code, cli::kExitSuccess) << measured.err.toStdString();
  const QJsonObject figures = QJsonDocument::fromJson(measured.out.toUtf8()).object();
  EXPECT_EQ(figures["lossy"].toDouble(), 10.0);
  EXPECT_EQ(figures["gif_bytes"].toInteger(), ReadBytes(Path("out/moving.gif")).size());
}

}  // namespace
}  // namespace tavlo::testing
