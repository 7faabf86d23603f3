// tavlo-cli palette on real files: the pictures' colours counted together, the same palette for
// any number of jobs, and failing inputs named while the others still count.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <random>

#include "cli/cli_io.h"
#include "cli_test_support.h"
#include "support/random_pictures.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

QImage Noise(int width, int height, unsigned seed) {
  return GradientAndNoise(
      width, height, width / 2, [](int x, int y) { return qRgb(x * 5 % 256, y * 3 % 256, 40); },
      seed);
}

class PaletteCommandTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QString Save(const QImage& image, const QString& name) {
    EXPECT_TRUE(image.save(Path(name)));
    return Path(name);
  }
  // The colours printed on stdout, one rrggbb a line.
  static QStringList Printed(const CliRun& run) { return run.out.split('\n', Qt::SkipEmptyParts); }

  QTemporaryDir dir_;
};

TEST_F(PaletteCommandTest, CountsThePicturesAsOneWhateverTheJobs) {
  const QImage a = Noise(60, 40, 1), b = Noise(60, 25, 2), c = Noise(60, 9, 3);
  QImage together(60, 74, QImage::Format_RGB32);
  QPainter painter(&together);
  painter.drawImage(0, 0, a);
  painter.drawImage(0, 40, b);
  painter.drawImage(0, 65, c);
  painter.end();
  const QStringList pictures = {Save(a, "a.png"), Save(b, "b.png"), Save(c, "c.png")};
  const CliRun one = RunCli({"palette", Save(together, "all.png"), "--colors", "48"});
  ASSERT_EQ(one.code, cli::kExitSuccess) << one.err.toStdString();
  EXPECT_EQ(Printed(one).size(), 48);
  for (const char* jobs : {"1", "4"}) {
    const CliRun run =
        RunCli(QStringList{"palette"} + pictures + QStringList{"--colors", "48", "--jobs", jobs});
    EXPECT_EQ(run.code, cli::kExitSuccess) << run.err.toStdString();
    EXPECT_EQ(run.out, one.out) << jobs;
  }
}

TEST_F(PaletteCommandTest, APictureOfFewerColorsGivesExactlyThoseMostUsedFirst) {
  QImage image(10, 10, QImage::Format_RGB32);
  image.fill(qRgb(0x12, 0x34, 0x56));
  for (int x = 0; x < 10; ++x) image.setPixel(x, 0, qRgb(0xFE, 0xDC, 0xBA));
  image.setPixel(3, 3, qRgb(0, 0, 0));
  const QString picture = Save(image, "three.png");
  const CliRun run = RunCli({"palette", picture, "--colors", "256"});
  ASSERT_EQ(run.code, cli::kExitSuccess) << run.err.toStdString();
  EXPECT_EQ(Printed(run), QStringList({"123456", "fedcba", "000000"}));

  // A .pal file of all entries holds them first and black after them; 16 entries with --count.
  ASSERT_EQ(
      RunCli({"palette", picture, "--colors", "16", "--out", Path("p.pal"), "--count", "16"}).code,
      cli::kExitSuccess);
  const QStringList pal = QString::fromLatin1(ReadBytes(Path("p.pal"))).split("\r\n");
  EXPECT_EQ(pal.mid(2, 5), QStringList({"16", "18 52 86", "254 220 186", "0 0 0", "0 0 0"}));
}

TEST_F(PaletteCommandTest, FailuresAreNamedAndTheRestStillCount) {
  const QString good = Save(Noise(30, 20, 4), "good.png");
  WriteBytes(Path("broken.png"), "not a picture");
  const CliRun partly = RunCli({"palette", good, Path("missing.png"), Path("broken.png"),
                                "--colors", "8", "--out", Path("out.gpl")});
  EXPECT_EQ(partly.code, cli::kExitSomeFailed);
  EXPECT_TRUE(partly.err.contains("missing.png: No such file")) << partly.err.toStdString();
  EXPECT_TRUE(partly.err.contains("broken.png")) << partly.err.toStdString();
  EXPECT_EQ(partly.err.count('\n'), 2) << partly.err.toStdString();
  const QByteArray written = ReadBytes(Path("out.gpl"));
  EXPECT_TRUE(written.startsWith("GIMP Palette"));

  const CliRun exists = RunCli({"palette", good, "--colors", "4", "--out", Path("out.gpl")});
  EXPECT_EQ(exists.code, cli::kExitSomeFailed);
  EXPECT_TRUE(exists.err.contains("out.gpl exists already (--force replaces it)"));
  EXPECT_EQ(ReadBytes(Path("out.gpl")), written);
  EXPECT_EQ(RunCli({"palette", good, "--colors", "4", "--out", Path("out.gpl"), "--force"}).code,
            cli::kExitSuccess);
  EXPECT_NE(ReadBytes(Path("out.gpl")), written);

  const CliRun none =
      RunCli({"palette", Path("missing.png"), "--colors", "4", "--out", Path("none.gpl")});
  EXPECT_EQ(none.code, cli::kExitSomeFailed);
  EXPECT_TRUE(none.err.contains("no palette was made")) << none.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("none.gpl")));
  EXPECT_EQ(RunCli({"palette", good, "--colors", "4", "--out", Path("no/such.gpl")}).code,
            cli::kExitSomeFailed);
}

TEST_F(PaletteCommandTest, UsageErrorsComeBeforeAnyPictureIsRead) {
  const QString missing = Path("missing.png");
  for (const QStringList& options : std::vector<QStringList>{
           {},
           {"--colors", "0"},
           {"--colors", "257"},
           {"--colors", "8", "--merge", "101"},
           {"--colors", "8", "--merge", "x"},
           {"--colors", "8", "--target", "small"},
           {"--colors", "8", "--count", "16"},
           {"--colors", "8", "--out", Path("p.gpl"), "--count", "16"},
           {"--colors", "32", "--out", Path("p.pal"), "--count", "16"},
           {"--colors", "8", "--out", Path("p.xyz")},
       }) {
    const CliRun run = RunCli(QStringList{"palette", missing} + options);
    EXPECT_EQ(run.code, cli::kExitUsage) << options.join(' ').toStdString();
    EXPECT_FALSE(run.err.contains("missing.png")) << run.err.toStdString();
  }
}

}  // namespace
}  // namespace tavlo::testing
