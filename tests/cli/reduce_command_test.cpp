// tavlo-cli reduce and measure on real files: what they write decodes to the preview's pixels
// with the palette's range as its table, the number of jobs changes no byte, and each failing
// input is named while the others go through.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <map>
#include <random>

#include "cli/cli_io.h"
#include "cli_test_support.h"
#include "color_science/ciede2000.h"
#include "color_science/cielab.h"
#include "picture/preview.h"
#include "support/fault_injection.h"
#include "support/picture_decoding.h"
#include "support/random_pictures.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

// A picture of many colours with flat parts, as photos and drawings have both.
QImage TestPicture(int width, int height, unsigned seed) {
  return GradientAndNoise(
      width, height, width / 3, [](int x, int y) { return qRgb(x * 4 % 256, y * 3 % 256, 90); },
      seed);
}

QByteArray ActOf(const std::vector<ColorValue>& colors) {
  QByteArray act(768, '\0');
  for (size_t i = 0; i < colors.size(); ++i) {
    act[qsizetype(3 * i)] = char(RedOf(colors[i]));
    act[qsizetype(3 * i + 1)] = char(GreenOf(colors[i]));
    act[qsizetype(3 * i + 2)] = char(BlueOf(colors[i]));
  }
  return act;
}

class ReduceCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::mt19937 random(7);
    for (int i = 0; i < 40; ++i) palette_.push_back(ColorValue(random() & 0xFFFFFF));
    palette_[12] = palette_[11];  // a repeated entry keeps its own place in the table
    WriteBytes(Path("palette.act"), ActOf(palette_));
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  // Pictures p0.png ... of various sizes.
  QStringList MakePictures(int count) {
    QStringList paths;
    for (int i = 0; i < count; ++i) {
      paths << Path(QStringLiteral("p%1.png").arg(i));
      EXPECT_TRUE(TestPicture(17 + 13 * i, 11 + 7 * i, unsigned(i)).save(paths.last()));
    }
    return paths;
  }
  std::vector<ColorValue> Entries(int first, int last) const {
    return {palette_.begin() + first, palette_.begin() + last + 1};
  }

  QTemporaryDir dir_;
  std::vector<ColorValue> palette_;  // entries 41 to 256 of palette.act are black
};

TEST_F(ReduceCommandTest, WritesThePreviewsPixelsWithTheRangeAsTable) {
  const QString picture = MakePictures(2).at(1);
  const QImage preview = MakePreview(QImage(picture), Entries(2, 20));
  for (const char* format : {"gif", "png", "bmp"}) {
    QDir().mkpath(Path(format));
    const CliRun run = RunCli({"reduce", picture, "--palette", Path("palette.act"), "--range",
                               "3-21", "--format", format, "--out", Path(format)});
    ASSERT_EQ(run.code, cli::kExitSuccess) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty() && run.err.isEmpty());
    const QString written = Path(QString(format) + "/p1." + format);
    EXPECT_EQ(QImage(written).convertToFormat(QImage::Format_RGB32), preview) << format;
  }

  const DecodedGif gif = DecodeGifWithGiflib(ReadBytes(Path("gif/p1.gif")));
  ASSERT_TRUE(gif.error.isEmpty()) << gif.error.toStdString();
  std::vector<ColorValue> padded = Entries(2, 20);
  padded.resize(32, 0);  // 19 entries need a table of 32
  EXPECT_EQ(gif.globalTable, padded);
  for (size_t i = 0; i < gif.indexes.size(); ++i) {
    const QRgb shown = preview.pixel(int(i) % preview.width(), int(i) / preview.width());
    ASSERT_EQ(gif.globalTable[gif.indexes[i]], MakeColor(qRed(shown), qGreen(shown), qBlue(shown)));
    ASSERT_NE(gif.indexes[i], 10) << "the repeated entry goes to the lower one";
  }
  EXPECT_EQ(ReadPngHeader(ReadBytes(Path("png/p1.png"))).palette, Entries(2, 20));
}

TEST_F(ReduceCommandTest, WithoutARangeUsesTheEntriesThePaletteFileHolds) {
  const QString picture = MakePictures(1).at(0);
  WriteBytes(Path("few.hex"), "#ff0000\n#00ff00\n#0000ff\n");
  ASSERT_EQ(RunCli({"reduce", picture, "--palette", Path("few.hex")}).code, cli::kExitSuccess);
  const DecodedGif gif = DecodeGifWithGiflib(ReadBytes(Path("p0.gif")));
  EXPECT_EQ(gif.globalTable, (std::vector<ColorValue>{0x0000FF, 0x00FF00, 0xFF0000, 0}));

  // A range past them reduces to black padding as well, and says so.
  const CliRun padded =
      RunCli({"reduce", picture, "--palette", Path("few.hex"), "--range", "2-6", "--force"});
  EXPECT_EQ(padded.code, cli::kExitSuccess);
  EXPECT_EQ(padded.err, "tavlo-cli: warning: " + Path("few.hex") +
                            " holds 3 entries; entries 4-6 of --range 2-6 are black padding.\n");
}

// A PNG cut off (here one that Qt's reader decodes, 16 bits a channel) is refused with the
// program's reason, before the library under the reader could print its own.
TEST_F(ReduceCommandTest, ACutOffPngIsRefusedWithTheProgramsReason) {
  QImage deep = TestPicture(60, 40, 3).convertToFormat(QImage::Format_RGBA64);
  ASSERT_TRUE(deep.save(Path("deep.png")));
  const QByteArray bytes = ReadBytes(Path("deep.png"));
  WriteBytes(Path("cut.png"), bytes.left(bytes.size() / 2));
  const CliRun run = RunCli({"measure", Path("cut.png"), "--palette", Path("palette.act")});
  EXPECT_EQ(run.code, cli::kExitSomeFailed);
  EXPECT_EQ(run.err, "tavlo-cli: " + Path("cut.png") +
                         ": the picture data is cut off or damaged (the file ends early)\n");
}

TEST_F(ReduceCommandTest, OneJobOrManyWriteTheSameFilesAndFigures) {
  const QStringList pictures = MakePictures(9);
  std::map<QString, QByteArray> first;
  QString firstFigures;
  for (const char* jobs : {"1", "4", "16"}) {
    const QString out = Path(QString("out-") + jobs);
    QDir().mkpath(out);
    for (const char* format : {"gif", "png"}) {
      const CliRun run =
          RunCli(QStringList{"reduce"} + pictures +
                 QStringList{"-p", Path("palette.act"), "-F", format, "-o", out, "-j", jobs});
      ASSERT_EQ(run.code, cli::kExitSuccess) << run.err.toStdString();
    }
    const CliRun measured = RunCli(QStringList{"measure", "--json", "--jobs", jobs} + pictures +
                                   QStringList{"--palette", Path("palette.act")});
    ASSERT_EQ(measured.code, cli::kExitSuccess);
    EXPECT_EQ(measured.out.count('\n'), pictures.size());
    const QStringList files = QDir(out).entryList(QDir::Files);
    EXPECT_EQ(files.size(), 2 * pictures.size());
    for (const QString& file : files) {
      const QByteArray bytes = ReadBytes(out + "/" + file);
      if (first.size() < size_t(files.size()))
        first[file] = bytes;
      else
        EXPECT_EQ(bytes, first[file]) << file.toStdString() << " with --jobs " << jobs;
    }
    if (firstFigures.isEmpty()) firstFigures = measured.out;
    EXPECT_EQ(measured.out, firstFigures) << jobs;
  }
}

TEST_F(ReduceCommandTest, EachFailingInputIsNamedInOrderAndTheOthersAreWritten) {
  QStringList pictures = MakePictures(3);
  WriteBytes(Path("p1.gif"), "mine");
  WriteBytes(Path("broken.png"), "not a picture");
  const QStringList inputs = {pictures[0], Path("missing.png"), pictures[1], Path("broken.png"),
                              pictures[2]};
  const CliRun run = RunCli(QStringList{"reduce"} + inputs +
                            QStringList{"--palette", Path("palette.act"), "--jobs", "3"});
  EXPECT_EQ(run.code, cli::kExitSomeFailed);
  const QStringList lines = run.err.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3) << run.err.toStdString();
  EXPECT_EQ(lines[0], "tavlo-cli: " + Path("missing.png") + ": No such file or directory");
  EXPECT_EQ(lines[1], "tavlo-cli: " + pictures[1] + ": " + Path("p1.gif") +
                          " exists already (--force replaces it)");
  EXPECT_TRUE(lines[2].startsWith("tavlo-cli: " + Path("broken.png") + ": "));
  EXPECT_EQ(ReadBytes(Path("p1.gif")), "mine");
  EXPECT_TRUE(QFile::exists(Path("p0.gif")) && QFile::exists(Path("p2.gif")));
  EXPECT_FALSE(QFile::exists(Path("broken.gif")));

  const CliRun forced = RunCli({"reduce", pictures[1], "--palette", Path("palette.act"), "-f"});
  EXPECT_EQ(forced.code, cli::kExitSuccess);
  EXPECT_TRUE(ReadBytes(Path("p1.gif")).startsWith("GIF87a"));
}

TEST_F(ReduceCommandTest, ABadPaletteOrOutputFolderStopsBeforeAnyPicture) {
  const QString picture = MakePictures(1).at(0);
  WriteBytes(Path("short.act"), QByteArray(700, '\0'));
  WriteBytes(Path("file"), "");
  struct Case {
    QStringList options;
    QString message;
  };
  const std::vector<Case> cases = {
      {{"--palette", Path("short.act")}, "This is not a valid PhotoShop ACT file!"},
      {{"--palette", Path("none.act")}, "could not be read: No such file or directory"},
      {{"--palette", Path("palette.act"), "--out", Path("nowhere")}, "nowhere: no such folder"},
      {{"--palette", Path("palette.act"), "--out", Path("file")}, "file: is not a folder"},
  };
  for (const Case& c : cases) {
    for (const char* command : {"reduce", "measure"}) {
      // measure's outputs are its loss maps.
      QStringList options = c.options;
      if (QString(command) == "measure") options.replaceInStrings("--out", "--loss-map");
      const CliRun run = RunCli(QStringList{command, picture} + options);
      EXPECT_EQ(run.code, cli::kExitSomeFailed) << command;
      EXPECT_TRUE(run.err.startsWith("tavlo-cli: ")) << run.err.toStdString();
      EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
      EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    }
  }
  EXPECT_FALSE(QFile::exists(Path("p0.gif")));
}

// measure's loss maps obey the rule of every output: an existing one is kept without --force, and
// of two inputs of one base name only the first gets its map.
TEST_F(ReduceCommandTest, LossMapsFollowTheOutputRule) {
  const QString picture = MakePictures(1).at(0);
  QDir().mkpath(Path("maps"));
  QDir().mkpath(Path("other"));
  ASSERT_TRUE(QFile::copy(picture, Path("other/p0.png")));
  WriteBytes(Path("maps/p0.loss.png"), "mine");
  const QStringList measure = {"measure",           picture,      "-p",
                               Path("palette.act"), "--loss-map", Path("maps")};
  const CliRun kept = RunCli(measure);
  EXPECT_EQ(kept.code, cli::kExitSomeFailed);
  EXPECT_TRUE(kept.err.contains("exists already (--force replaces it)")) << kept.err.toStdString();
  EXPECT_EQ(ReadBytes(Path("maps/p0.loss.png")), "mine");
  EXPECT_EQ(RunCli(measure + QStringList{"--force"}).code, cli::kExitSuccess);
  EXPECT_TRUE(ReadBytes(Path("maps/p0.loss.png")).startsWith("\x89PNG"));

  const CliRun twice = RunCli(measure + QStringList{Path("other/p0.png"), "--force"});
  EXPECT_EQ(twice.code, cli::kExitSomeFailed);
  EXPECT_EQ(twice.err, "tavlo-cli: " + Path("other/p0.png") + ": " + Path("maps/p0.loss.png") +
                           " is the output of " + picture + " already\n");
  EXPECT_EQ(twice.out.count('\n'), 2) << "the header and the first picture's figures";
}

TEST_F(ReduceCommandTest, AnUnwritableFolderFailsEveryPictureWithTheSystemsReason) {
  const QStringList pictures = MakePictures(2);
  QDir().mkpath(Path("locked"));
  MakeReadOnlyForOthers(Path("locked"));
  // The child reports through its exit status: 0 when both failures were reported as expected.
  const int status = RunInChild({.unprivileged = true}, [&] {
    const CliRun run =
        RunCli(QStringList{"reduce"} + pictures +
               QStringList{"--palette", Path("palette.act"), "--out", Path("locked")});
    const QStringList lines = run.err.split('\n', Qt::SkipEmptyParts);
    if (run.code != cli::kExitSomeFailed || lines.size() != 2) return 1;
    for (int i = 0; i < 2; ++i)
      if (!lines[i].startsWith("tavlo-cli: " + pictures[i] + ": " + Path("locked") +
                               QString("/p%1.gif could not be written: Permission denied").arg(i)))
        return 2;
    return 0;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(QDir(Path("locked")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());
}

TEST_F(ReduceCommandTest, UsageErrorsComeBeforeAnyFileIsRead) {
  for (const QStringList& arguments :
       {QStringList{"reduce", "a.png"}, QStringList{"reduce", "--palette", "p.act"},
        QStringList{"reduce", "a.png", "-p", "p.act", "--format", "jpeg"},
        QStringList{"reduce", "a.png", "-p", "p.act", "--jobs", "0"},
        QStringList{"measure", "a.png", "-p", "p.act", "--range", "3-2"},
        QStringList{"measure", "a.png", "-p", "p.act", "--out", "x"}}) {
    const CliRun run = RunCli(arguments);
    EXPECT_EQ(run.code, cli::kExitUsage) << arguments.join(' ').toStdString();
    EXPECT_TRUE(run.err.contains("Try 'tavlo-cli " + arguments[0] + " --help'."))
        << run.err.toStdString();
  }
}

TEST_F(ReduceCommandTest, MeasuresTheGifThatReduceWrites) {
  const QString picture = MakePictures(3).at(2);
  ASSERT_EQ(RunCli({"reduce", picture, "-p", Path("palette.act"), "-r", "1-20"}).code,
            cli::kExitSuccess);
  const CliRun json =
      RunCli({"measure", picture, "-p", Path("palette.act"), "-r", "1-20", "--json"});
  ASSERT_EQ(json.code, cli::kExitSuccess);
  const QJsonObject figures = QJsonDocument::fromJson(json.out.toUtf8()).object();
  EXPECT_EQ(figures["picture"].toString(), picture);
  EXPECT_EQ(figures["gif_bytes"].toInteger(), ReadBytes(Path("p2.gif")).size());
  EXPECT_EQ(figures["table_size"].toInt(), 32);
  EXPECT_EQ(figures["range_size"].toInt(), 20);
  const QImage image(picture);
  EXPECT_EQ(figures["pixels"].toInteger(), image.width() * image.height());
  qint64 sum = 0;
  int used = 0;
  for (const QJsonValue pixels : figures["usage"].toArray()) {
    sum += pixels.toInteger();
    used += pixels.toInteger() > 0;
  }
  EXPECT_EQ(figures["usage"].toArray().size(), 20);
  EXPECT_EQ(sum, image.width() * image.height());
  EXPECT_EQ(figures["entries_used"].toInt(), used);
  EXPECT_GE(figures["max_loss"].toDouble(), figures["mean_loss"].toDouble());
  EXPECT_GT(figures["share_above_one"].toDouble(), 0.5);

  const CliRun table = RunCli({"measure", picture, "-p", Path("palette.act"), "-r", "1-20"});
  const QStringList lines = table.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 2);
  EXPECT_EQ(lines[0].simplified(), "GIF bytes table used mean ΔE max ΔE > 1.0 picture");
  EXPECT_EQ(lines[1].simplified(), QString("%1 32 %2 %3 %4 %5% %6")
                                       .arg(figures["gif_bytes"].toInteger())
                                       .arg(used)
                                       .arg(figures["mean_loss"].toDouble(), 0, 'f', 2)
                                       .arg(figures["max_loss"].toDouble(), 0, 'f', 2)
                                       .arg(figures["share_above_one"].toDouble() * 100, 0, 'f', 1)
                                       .arg(picture));
}

}  // namespace
}  // namespace tavlo::testing

namespace tavlo::testing {
namespace {

// The loss map is round(1000 x CIEDE2000) between the picture and the GIF that reduce writes
// with the same options, exact and budgeted; the visible loss comes with the JSON figures.
TEST_F(ReduceCommandTest, LossMapIsTheLossOfTheGifReduceWrites) {
  const QString picture = MakePictures(4).at(3);
  const QImage original = QImage(picture).convertToFormat(QImage::Format_RGB32);
  for (const char* lossy : {"0", "4"}) {
    SCOPED_TRACE(lossy);
    const QString dir = Path(QString("maps-") + lossy);
    QDir().mkpath(dir);
    ASSERT_EQ(RunCli({"reduce", picture, "-p", Path("palette.act"), "-r", "1-20", "--lossy", lossy,
                      "--out", dir})
                  .code,
              cli::kExitSuccess);
    const CliRun run = RunCli({"measure", picture, "-p", Path("palette.act"), "-r", "1-20",
                               "--lossy", lossy, "--json", "--loss-map", dir});
    ASSERT_EQ(run.code, cli::kExitSuccess) << run.err.toStdString();
    const QJsonObject figures = QJsonDocument::fromJson(run.out.toUtf8()).object();
    EXPECT_GT(figures["visible_mean"].toDouble(), 0);
    EXPECT_LT(figures["visible_mean"].toDouble(), figures["mean_loss"].toDouble());
    EXPECT_TRUE(figures.contains("visible_share_above_one"));

    const DecodedGif gif = DecodeGifWithGiflib(ReadBytes(dir + "/p3.gif"));
    const QImage map(dir + "/p3.loss.png");
    ASSERT_EQ(map.format(), QImage::Format_Grayscale16);
    ASSERT_EQ(map.size(), original.size());
    int exact = 0;
    for (int y = 0; y < map.height(); ++y)
      for (int x = 0; x < map.width(); ++x) {
        const ColorValue written = gif.globalTable[gif.indexes[size_t(y) * gif.width + x]];
        const double loss =
            Ciede2000(LabFromColor(FromRgbPixel(original.pixel(x, y))), LabFromColor(written));
        const int expected = int(std::min(65535.0, std::round(1000 * loss)));
        const int value = reinterpret_cast<const quint16*>(map.constScanLine(y))[x];
        // The figures keep each loss as a float: 1000 x it may round the other way.
        ASSERT_LE(std::abs(value - expected), 1) << x << ", " << y;
        exact += value == expected;
      }
    EXPECT_GE(exact, map.width() * map.height() * 99 / 100);
  }
}

}  // namespace
}  // namespace tavlo::testing
