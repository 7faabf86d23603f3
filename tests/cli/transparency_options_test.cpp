// --transparent, --alpha-threshold and --matte of reduce, measure and palette, on a batch of
// opaque and transparent pictures: the files name the transparent entry where a picture has
// clear pixels, opaque pictures are written as without the options, and the user is told when
// transparent pixels are laid over the matte.
#include <gtest/gtest.h>

#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <random>

#include "cli/cli_io.h"
#include "cli_test_support.h"
#include "support/picture_decoding.h"
#include "support/random_pictures.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

constexpr QRgb kOpaqueRed = 0xFFFF0000u, kOpaqueGreen = 0xFF00FF00u;

// A 12 x 12 sticker: a clear background of random colours, a red and green square in the
// middle, and one half-transparent (alpha 100) red pixel at (1, 1).
QImage Sticker(std::mt19937& random) {
  QImage image(12, 12, QImage::Format_ARGB32);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool inside = x >= 3 && x < 9 && y >= 3 && y < 9;
      image.setPixel(x, y, inside ? (x < 6 ? kOpaqueRed : kOpaqueGreen) : random() & 0xFFFFFF);
    }
  image.setPixel(1, 1, 0x64FF0000u);
  return image;
}

class TransparencyOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::mt19937 random(22);
    sticker_ = Save(Sticker(random), "sticker.png");
    opaque_ = Save(NoisePicture(9, 7, random), "opaque.png");
    // Red, green, blue, white: the sticker's opaque pixels use the first two.
    WriteBytes(Path("four.hex"), "#ff0000\n#00ff00\n#0000ff\n#ffffff\n");
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QString Save(const QImage& image, const QString& name) {
    EXPECT_TRUE(image.save(Path(name)));
    return Path(name);
  }
  CliRun Reduce(const QString& picture, const QStringList& options, const QString& out) {
    QDir().mkpath(Path(out));
    return RunCli(QStringList{"reduce", picture, "-p", Path("four.hex"), "--out", Path(out)} +
                  options);
  }

  QTemporaryDir dir_;
  QString sticker_, opaque_;
};

TEST_F(TransparencyOptionsTest, AutoTakesTheFirstFreeEntryOnlyForPicturesWithClearPixels) {
  ASSERT_EQ(Reduce(opaque_, {}, "plain").code, cli::kExitSuccess);
  const CliRun run =
      RunCli({"reduce", sticker_, opaque_, "-p", Path("four.hex"), "--transparent", "auto"});
  ASSERT_EQ(run.code, cli::kExitSuccess) << run.err.toStdString();
  EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
  EXPECT_EQ(ReadBytes(Path("opaque.gif")), ReadBytes(Path("plain/opaque.gif")));

  const DecodedGif gif = DecodeGifWithGiflib(ReadBytes(Path("sticker.gif")));
  ASSERT_TRUE(gif.error.isEmpty());
  EXPECT_EQ(gif.transparentIndex, 2) << "blue, the first entry no opaque pixel uses";
  EXPECT_EQ(gif.indexes[0], 2);
  EXPECT_EQ(gif.indexes[1 * 12 + 1], 2) << "alpha 100 is below the threshold";
  EXPECT_EQ(gif.indexes[4 * 12 + 4], 0);
  EXPECT_EQ(gif.indexes[4 * 12 + 7], 1);

  // Each entry used by an opaque pixel: nothing is free, and the user is told.
  WriteBytes(Path("two.hex"), "#ff0000\n#00ff00\n");
  const CliRun full =
      RunCli({"reduce", sticker_, "-p", Path("two.hex"), "--transparent", "auto", "--force"});
  EXPECT_EQ(full.code, cli::kExitSuccess);
  EXPECT_TRUE(full.err.contains("none is free")) << full.err.toStdString();
  EXPECT_EQ(DecodeGifWithGiflib(ReadBytes(Path("sticker.gif"))).transparentIndex, -1);
}

TEST_F(TransparencyOptionsTest, ThresholdAndMatteDecideTheHalfTransparentPixel) {
  const struct {
    QStringList options;
    int index;  // of pixel (1, 1), alpha 100 red
  } cases[] = {
      {{"--transparent", "4"}, 3},                              // clear, entry 4
      {{"--transparent", "4", "--alpha-threshold", "100"}, 0},  // red over white
      {{"--transparent", "4", "--alpha-threshold", "100", "--matte", "00ff00"}, 1},  // over green
  };
  int n = 0;
  for (const auto& c : cases) {
    const QString out = QStringLiteral("t%1").arg(n++);
    ASSERT_EQ(Reduce(sticker_, c.options, out).code, cli::kExitSuccess);
    const DecodedGif gif = DecodeGifWithGiflib(ReadBytes(Path(out + "/sticker.gif")));
    EXPECT_EQ(gif.transparentIndex, 3);
    EXPECT_EQ(gif.indexes[1 * 12 + 1], c.index) << c.options.join(' ').toStdString();
  }
}

TEST_F(TransparencyOptionsTest, WithoutTheOptionClearPixelsAreLaidOverTheMatteAndTheUserTold) {
  const CliRun run = Reduce(sticker_, {}, "none");
  EXPECT_EQ(run.code, cli::kExitSuccess);
  EXPECT_TRUE(run.err.contains("108 transparent pixels laid over the matte"))
      << run.err.toStdString();
  const DecodedGif gif = DecodeGifWithGiflib(ReadBytes(Path("none/sticker.gif")));
  EXPECT_EQ(gif.version, "87a");
  EXPECT_EQ(gif.indexes[0], 3) << "white";
}

TEST_F(TransparencyOptionsTest, ALossBudgetKeepsTheTransparentPixels) {
  ASSERT_EQ(Reduce(sticker_, {"--transparent", "auto"}, "exact").code, cli::kExitSuccess);
  const CliRun run = Reduce(sticker_, {"--transparent", "auto", "--lossy", "3"}, "lossy");
  EXPECT_EQ(run.code, cli::kExitSuccess) << run.err.toStdString();
  const DecodedGif exact = DecodeGifWithGiflib(ReadBytes(Path("exact/sticker.gif")));
  const DecodedGif lossy = DecodeGifWithGiflib(ReadBytes(Path("lossy/sticker.gif")));
  ASSERT_TRUE(lossy.error.isEmpty()) << lossy.error.toStdString();
  EXPECT_EQ(lossy.transparentIndex, exact.transparentIndex);
  for (size_t p = 0; p < exact.indexes.size(); ++p)
    EXPECT_EQ(lossy.indexes[p] == lossy.transparentIndex,
              exact.indexes[p] == exact.transparentIndex)
        << p;
}

TEST_F(TransparencyOptionsTest, MeasureCountsTransparentPixelsApart) {
  const CliRun run = RunCli({"measure", sticker_, "-p", Path("four.hex"), "--transparent", "auto",
                             "--alpha-threshold", "101", "--json"});
  ASSERT_EQ(run.code, cli::kExitSuccess) << run.err.toStdString();
  const QJsonObject figures = QJsonDocument::fromJson(run.out.toUtf8()).object();
  EXPECT_EQ(figures["transparent_index"].toInt(), 2);
  EXPECT_EQ(figures["transparent_pixels"].toInteger(), 12 * 12 - 36);
  EXPECT_EQ(figures["partly_transparent_made_clear"].toInteger(), 1);
  EXPECT_NEAR(figures["mean_loss"].toDouble(), 0.0, 1e-4) << "the opaque pixels are exact";
}

TEST_F(TransparencyOptionsTest, PaletteKeepsEntryOneForTheMatteAndCountsOnlyOpaquePixels) {
  const CliRun run = RunCli({"palette", sticker_, opaque_, "--colors", "256"});
  ASSERT_EQ(run.code, cli::kExitSuccess) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("entry 1 holds the matte colour ffffff")) << run.err.toStdString();
  const QStringList printed = run.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(printed.size(), 1 + 2 + 9 * 7);  // the matte, the sticker's two, the opaque picture's
  EXPECT_EQ(printed[0], "ffffff");

  const CliRun none = RunCli({"palette", sticker_, "--colors", "256", "--transparent", "none",
                              "--matte", "000000", "--alpha-threshold", "255"});
  ASSERT_EQ(none.code, cli::kExitSuccess) << none.err.toStdString();
  EXPECT_EQ(none.out.split('\n', Qt::SkipEmptyParts).size(), 2 + 1 + 1)
      << "red, green, black for the clear pixels, and the half-transparent red over black";
}

TEST_F(TransparencyOptionsTest, BadValuesAreUsageErrors) {
  for (const QStringList& arguments : std::vector<QStringList>{
           {"reduce", "a.png", "-p", Path("four.hex"), "--transparent", "5"},
           {"reduce", "a.png", "-p", Path("four.hex"), "--range", "2-3", "--transparent", "1"},
           {"measure", "a.png", "-p", Path("four.hex"), "--transparent", "maybe"},
           {"measure", "a.png", "-p", Path("four.hex"), "--alpha-threshold", "0"},
           {"reduce", "a.png", "-p", Path("four.hex"), "--matte", "fff"},
           {"palette", "a.png", "--colors", "4", "--transparent", "2"},
       }) {
    const CliRun run = RunCli(arguments);
    EXPECT_EQ(run.code, cli::kExitUsage) << arguments.join(' ').toStdString();
    EXPECT_FALSE(run.err.contains("a.png")) << run.err.toStdString();
  }
}

}  // namespace
}  // namespace tavlo::testing
