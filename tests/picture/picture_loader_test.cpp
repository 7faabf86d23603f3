#include "picture/picture_loader.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>
#include <random>

#include "picture/metafile.h"
#include "support/picture_files.h"
#include "support/random_pictures.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

constexpr QRgb kRed = 0xFFFF0000u;
constexpr QRgb kBlue = 0xFF0000FFu;
constexpr QRgb kGreen = 0xFF00FF00u;

// A 40 x 20 picture: left half red, right half blue, pixel (0, 0) green.
QImage TwoHalves() {
  QImage image(40, 20, QImage::Format_RGB32);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) image.setPixel(x, y, x < 20 ? kRed : kBlue);
  image.setPixel(0, 0, kGreen);
  return image;
}

QByteArray Encode(const QImage& image, const char* format, int quality = -1) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  writer.setQuality(quality);
  EXPECT_TRUE(writer.write(image)) << format << ": " << writer.errorString().toStdString();
  return bytes;
}

QRgb Opaque(QRgb c) {
  return c | 0xFF000000u;
}

class PictureLoaderTest : public ::testing::Test {
 protected:
  QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    WriteBytes(path, bytes);
    return path;
  }
  QTemporaryDir dir_;
};

TEST_F(PictureLoaderTest, LosslessFormatsLoadPixelExactWhateverTheirName) {
  const QImage expected = TwoHalves();
  // Each file is named as another format: the content decides.
  const struct {
    const char* format;
    const char* name;
  } cases[] = {
      {"bmp", "a.jpg"}, {"png", "b.gif"}, {"ico", "c.bmp"}, {"tiff", "d.ico"}, {"webp", "e.png"}};
  for (const auto& c : cases) {
    QImage source = expected;
    QByteArray bytes = Encode(source, c.format, c.format == std::string("webp") ? 100 : -1);
    if (c.format == std::string("webp")) {
      // Lossless WebP only when asked for with quality 100; skip the pixel check otherwise.
      const PictureResult result = LoadPictureFile(Write(c.name, bytes));
      ASSERT_TRUE(result.ok()) << c.format << ": " << result.error.toStdString();
      EXPECT_EQ(result.image.size(), expected.size());
      continue;
    }
    const PictureResult result = LoadPictureFile(Write(QString::fromLatin1(c.name), bytes));
    ASSERT_TRUE(result.ok()) << c.format << ": " << result.error.toStdString();
    EXPECT_EQ(result.image.format(), QImage::Format_RGB32) << c.format;
    ASSERT_EQ(result.image.size(), expected.size()) << c.format;
    EXPECT_EQ(Opaque(result.image.pixel(0, 0)), kGreen) << c.format;
    EXPECT_EQ(Opaque(result.image.pixel(5, 10)), kRed) << c.format;
    EXPECT_EQ(Opaque(result.image.pixel(30, 10)), kBlue) << c.format;
  }
}

TEST_F(PictureLoaderTest, JpegLoadsWithNearColors) {
  const PictureResult result = LoadPictureFile(Write("photo.bmp", Encode(TwoHalves(), "jpeg", 95)));
  ASSERT_TRUE(result.ok()) << result.error.toStdString();
  ASSERT_EQ(result.image.size(), QSize(40, 20));
  const QRgb red = result.image.pixel(5, 10);
  EXPECT_GT(qRed(red), 230);
  EXPECT_LT(qBlue(red), 30);
}

TEST_F(PictureLoaderTest, TruncatedJpegAndTextNamedJpgAreRefused) {
  QImage noisy(64, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) noisy.setPixel(x, y, qRgb(x * 4, y * 4, (x * y) & 0xFF));
  const QByteArray jpeg = Encode(noisy, "jpeg", 90);
  ASSERT_TRUE(JpegIsComplete(jpeg));
  for (qsizetype cut : {jpeg.size() - 2, jpeg.size() / 2, qsizetype(200), qsizetype(3)}) {
    EXPECT_FALSE(JpegIsComplete(jpeg.left(cut))) << cut;
    EXPECT_FALSE(LoadPictureFile(Write("cut.jpg", jpeg.left(cut))).ok()) << cut;
  }
  const PictureResult text = LoadPictureFile(Write("notes.jpg", "This is not a picture.\r\n"));
  EXPECT_FALSE(text.ok());
  EXPECT_FALSE(text.error.isEmpty());
  EXPECT_FALSE(LoadPictureFile(Write("empty.jpg", {})).ok());
  EXPECT_FALSE(LoadPictureFile(dir_.filePath("missing.jpg")).ok());
}

TEST_F(PictureLoaderTest, CutOffBitmapsAndGifsAreRefused) {
  std::mt19937 random(7);
  const QImage noisy = NoisePicture(64, 64, random);
  const QByteArray bmp = Encode(noisy, "bmp");
  std::vector<quint8> frame(64 * 64);
  for (quint8& index : frame) index = quint8(random());
  std::vector<QRgb> table(256);
  for (QRgb& c : table) c = QRgb(random());
  const QByteArray gif = MakeGif(64, 64, table, {frame});
  const QByteArray rle = MakeRle8Bmp(12, {kRed, kBlue}, {{{12, 0}}, {{6, 1}, {6, 0}}});
  ASSERT_TRUE(BmpIsComplete(bmp));
  ASSERT_TRUE(BmpIsComplete(rle));
  ASSERT_TRUE(GifFirstImageIsComplete(gif));
  for (const QByteArray& whole : {bmp, gif, rle}) {
    ASSERT_TRUE(DecodePicture(whole).ok());
    for (qsizetype cut : {whole.size() - 2, whole.size() / 2, qsizetype(60)})
      EXPECT_FALSE(DecodePicture(whole.left(cut)).ok())
          << whole.left(2).toHex().toStdString() << " cut at " << cut;
  }
}

TEST_F(PictureLoaderTest, GifGivesItsFirstFrame) {
  const std::vector<QRgb> table = {kRed, kBlue};
  std::vector<quint8> first(30 * 10, 0);
  first[0] = 1;
  const std::vector<quint8> second(30 * 10, 1);
  const PictureResult result =
      LoadPictureFile(Write("anim.bmp", MakeGif(30, 10, table, {first, second})));
  ASSERT_TRUE(result.ok()) << result.error.toStdString();
  ASSERT_EQ(result.image.size(), QSize(30, 10));
  EXPECT_EQ(Opaque(result.image.pixel(0, 0)), kBlue);
  EXPECT_EQ(Opaque(result.image.pixel(29, 9)), kRed);
}

TEST_F(PictureLoaderTest, RunLengthEncodedBitmapLoads) {
  const std::vector<QRgb> table = {kRed, kBlue, kGreen};
  const QByteArray rle = MakeRle8Bmp(12, table, {{{12, 0}}, {{4, 1}, {8, 2}}, {{6, 2}, {6, 1}}});
  const PictureResult result = LoadPictureFile(Write("picture.rle", rle));
  ASSERT_TRUE(result.ok()) << result.error.toStdString();
  ASSERT_EQ(result.image.size(), QSize(12, 3));
  EXPECT_EQ(Opaque(result.image.pixel(11, 0)), kRed);
  EXPECT_EQ(Opaque(result.image.pixel(3, 1)), kBlue);
  EXPECT_EQ(Opaque(result.image.pixel(4, 1)), kGreen);
  EXPECT_EQ(Opaque(result.image.pixel(5, 2)), kGreen);
  EXPECT_EQ(Opaque(result.image.pixel(6, 2)), kBlue);
}

TEST_F(PictureLoaderTest, MetafilesRenderAtTheirNaturalSize) {
  const QRect box(30, 0, 30, 30);  // the right half
  const QByteArray wmf = MakeWmf(60, 30, kRed, box, kBlue);
  const QByteArray emf = MakeEmf(60, 30, kRed, box, kBlue);
  EXPECT_TRUE(LooksLikeWmf(wmf));
  EXPECT_FALSE(LooksLikeEmf(wmf));
  EXPECT_TRUE(LooksLikeEmf(emf));
  EXPECT_FALSE(LooksLikeWmf(emf));
  for (const auto& [name, bytes] : {std::pair{"drawing.jpg", wmf}, std::pair{"drawing.gif", emf}}) {
    const PictureResult result = LoadPictureFile(Write(QString::fromLatin1(name), bytes));
    ASSERT_TRUE(result.ok()) << name << ": " << result.error.toStdString();
    ASSERT_EQ(result.image.size(), QSize(60, 30)) << name;
    EXPECT_EQ(Opaque(result.image.pixel(10, 15)), kRed) << name;
    EXPECT_EQ(Opaque(result.image.pixel(45, 15)), kBlue) << name;
  }
}

TEST_F(PictureLoaderTest, DamagedMetafilesAreRefused) {
  const QByteArray wmf = MakeWmf(60, 30, kRed, QRect(0, 0, 10, 10), kBlue);
  const QByteArray emf = MakeEmf(60, 30, kRed, QRect(0, 0, 10, 10), kBlue);
  for (qsizetype cut : {qsizetype(40), qsizetype(60)}) {
    EXPECT_FALSE(LoadPictureFile(Write("cut.wmf", wmf.left(cut))).ok()) << cut;
  }
  EXPECT_FALSE(LoadPictureFile(Write("cut.emf", emf.left(100))).ok());
}

TEST_F(PictureLoaderTest, MutatedMetafilesNeverCrashTheLoader) {
  std::mt19937 random(42);
  const QByteArray seeds[] = {MakeWmf(60, 30, kRed, QRect(30, 0, 30, 30), kBlue),
                              MakeEmf(60, 30, kRed, QRect(30, 0, 30, 30), kBlue)};
  for (int round = 0; round < 400; ++round) {
    QByteArray bytes = seeds[round % 2];
    for (int flips = 1 + int(random() % 8); flips > 0; --flips)
      bytes[random() % bytes.size()] = char(random());
    if (random() % 4 == 0) bytes.truncate(random() % bytes.size());
    const PictureResult result = DecodePicture(bytes);
    if (result.ok())
      EXPECT_TRUE(PictureSizeAllowed(result.image.width(), result.image.height()));
    else
      EXPECT_FALSE(result.error.isEmpty());
  }
}

TEST_F(PictureLoaderTest, OversizedPicturesAreRefusedBeforeDecoding) {
  // A BMP header claiming 100000 x 100000 pixels, with no pixel data behind it.
  QByteArray bmp = Encode(QImage(2, 2, QImage::Format_RGB32), "bmp");
  qToLittleEndian<qint32>(100000, bmp.data() + 18);
  qToLittleEndian<qint32>(100000, bmp.data() + 22);
  EXPECT_FALSE(LoadPictureFile(Write("huge.bmp", bmp)).ok());
  // Within each side's limit but over the pixel budget: 16000 x 16000.
  qToLittleEndian<qint32>(16000, bmp.data() + 18);
  qToLittleEndian<qint32>(16000, bmp.data() + 22);
  const PictureResult wide = LoadPictureFile(Write("wide.bmp", bmp));
  EXPECT_FALSE(wide.ok());
  EXPECT_TRUE(wide.error.contains(QStringLiteral("too large"))) << wide.error.toStdString();
  // A metafile whose natural size is 30000 inches wide.
  EXPECT_FALSE(
      LoadPictureFile(Write("huge.wmf", MakeWmf(30000, 30, kRed, QRect(0, 0, 1, 1), kBlue, 1)))
          .ok());
  EXPECT_FALSE(PictureSizeAllowed(kMaxPictureSide + 1, 1));
  EXPECT_TRUE(PictureSizeAllowed(kMaxPictureSide, 100));
  EXPECT_FALSE(PictureSizeAllowed(0, 10));
}

// A picture keeps its alpha where some pixel is not opaque; what is shown and picked is laid over
// white, the transparent parts white and the opaque ones unchanged.
TEST_F(PictureLoaderTest, AlphaIsKeptOnlyWhereSomePixelIsNotOpaque) {
  QImage soft(3, 1, QImage::Format_ARGB32);
  soft.setPixel(0, 0, 0x00102030u);  // clear
  soft.setPixel(1, 0, 0x80FF0000u);  // half red
  soft.setPixel(2, 0, kBlue);
  const PictureResult kept =
      LoadPictureFile(Write(QStringLiteral("soft.png"), Encode(soft, "png")));
  ASSERT_TRUE(kept.ok());
  EXPECT_EQ(kept.image.format(), QImage::Format_ARGB32);
  EXPECT_EQ(kept.image.pixel(0, 0), 0x00102030u);
  EXPECT_EQ(kept.image.pixel(1, 0), 0x80FF0000u);
  const QImage shown = LaidOverWhite(kept.image);
  EXPECT_EQ(shown.format(), QImage::Format_RGB32);
  EXPECT_EQ(shown.pixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(shown.pixel(1, 0), 0xFFFF7F7Fu);
  EXPECT_EQ(shown.pixel(2, 0), kBlue);

  QImage opaque = TwoHalves().convertToFormat(QImage::Format_ARGB32);
  const PictureResult flat =
      LoadPictureFile(Write(QStringLiteral("opaque.png"), Encode(opaque, "png")));
  ASSERT_TRUE(flat.ok());
  EXPECT_EQ(flat.image.format(), QImage::Format_RGB32) << "an alpha channel all opaque is dropped";
}

TEST_F(PictureLoaderTest, CorpusGifsLoadOrFailCleanly) {
  TAVLO_SKIP_WITHOUT_CORPUS();
  const QDir corpus(CorpusPath(QStringLiteral("gif")));
  const QStringList names = corpus.entryList({QStringLiteral("*.gif")}, QDir::Files);
  ASSERT_FALSE(names.isEmpty());
  int loaded = 0;
  for (const QString& name : names) {
    const PictureResult result = LoadPictureFile(corpus.filePath(name));
    if (!result.ok()) {
      EXPECT_FALSE(result.error.isEmpty()) << name.toStdString();
      continue;
    }
    ++loaded;
    // An animation's frames are all of one kind: with alpha when any frame has it.
    const QImage& all = result.animation.Animated() ? result.animation.frames : result.image;
    const QImage::Format kept =
        HasTranslucentPixels(all) ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    EXPECT_EQ(result.image.format(), kept) << name.toStdString();
    EXPECT_TRUE(PictureSizeAllowed(result.image.width(), result.image.height()));
  }
  EXPECT_GE(loaded, 25) << "of " << names.size();
  const PictureResult hopper = LoadPictureFile(corpus.filePath("Pillow__hopper.gif"));
  ASSERT_TRUE(hopper.ok());
  EXPECT_EQ(hopper.image.size(), QSize(128, 128));
  // The declared logical screen of a decompression bomb is never allocated.
  const PictureResult bomb = LoadPictureFile(corpus.filePath("Pillow__decompression_bomb.gif"));
  if (bomb.ok()) {
    EXPECT_TRUE(PictureSizeAllowed(bomb.image.width(), bomb.image.height()));
  }
}

}  // namespace
}  // namespace tavlo::testing
