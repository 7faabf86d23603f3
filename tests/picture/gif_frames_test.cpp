// Animated GIFs made by Pillow, loaded frame by frame and checked against the frames Pillow
// composes from the same file.
#include "picture/gif_frames.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "picture/picture_loader.h"
#include "support/picture_files.h"
#include "support/pillow.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

class GifFramesTest : public ::testing::Test {
 protected:
  void SetUp() override { TAVLO_SKIP_WITHOUT_PILLOW(); }
  QString Made(int loop, const QString& disposals) {
    const QString path = dir_.filePath(QStringLiteral("a%1.gif").arg(++made_));
    MakeAnimationWithPillow(path, loop, disposals);
    return path;
  }
  QTemporaryDir dir_;
  int made_ = 0;
};

// A GIF of one 1 x 1 frame per table, each frame with its own table and no global table.
QByteArray LocalTablesGif(const std::vector<std::vector<quint32>>& tables) {
  QByteArray gif("GIF89a\x01\x00\x01\x00\x00\x00\x00", 13);
  for (const std::vector<quint32>& table : tables) {
    int bits = 1;
    while ((2 << (bits - 1)) < int(table.size())) ++bits;
    gif.append("\x2C\0\0\0\0\x01\0\x01\0", 9);
    gif.append(char(0x80 | (bits - 1)));
    for (int i = 0; i < (2 << (bits - 1)); ++i) {
      const quint32 c = i < int(table.size()) ? table[size_t(i)] : 0;
      gif.append(char(c & 0xFF)).append(char((c >> 8) & 0xFF)).append(char((c >> 16) & 0xFF));
    }
    gif.append("\x02\x02\x44\x01\x00", 5);  // code size 2: clear, index 0, end
  }
  return gif.append(';');
}

// The colours a GIF is drawn from: its global table entry by entry, or every distinct colour of
// the frames' own tables, up to 256.
TEST(GifColorTableTest, IsTheGlobalTableOrTheColoursOfTheFramesTables) {
  const QByteArray red = MakeGif(2, 1, {qRgb(255, 0, 0), qRgb(255, 0, 0)}, {{0, 1}});
  const GifColorTable global = ColorTableOf(red, ScanGifBlocks(red));
  EXPECT_FALSE(global.local);
  ASSERT_EQ(global.colors.size(), 256u);  // duplicates and the black rest kept in place
  EXPECT_EQ(global.colors[1], 0x0000FFu);
  EXPECT_EQ(global.colors[2], 0u);

  const QByteArray two = LocalTablesGif({{0x0000FF, 0x00FF00}, {0x00FF00, 0xFF0000}});
  const GifColorTable local = ColorTableOf(two, ScanGifBlocks(two));
  EXPECT_TRUE(local.local);
  EXPECT_EQ(local.colors, (std::vector<quint32>{0x0000FF, 0x00FF00, 0xFF0000}));

  std::vector<quint32> first(256), second(256);
  for (quint32 i = 0; i < 256; ++i) first[i] = i, second[i] = i + 200;
  const QByteArray many = LocalTablesGif({first, second});
  const GifColorTable tooMany = ColorTableOf(many, ScanGifBlocks(many));
  EXPECT_TRUE(tooMany.colors.empty());
  EXPECT_EQ(tooMany.count, 456);
}

TEST_F(GifFramesTest, FramesAreComposedAsViewersShowThem) {
  const struct {
    int loop;
    const char* disposals;
  } cases[] = {{0, "1,1,1,1,1"}, {3, "2,2,2,2,2"}, {-1, "3,3,3,3,3"}, {0, "1,3,2,1,2"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.disposals);
    const QString path = Made(c.loop, QString::fromLatin1(c.disposals));
    const PillowFrames expected = DecodeFramesWithPillow(path);
    ASSERT_EQ(expected.frames.size(), 5u);
    const PictureResult loaded = LoadPictureFile(path);
    ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
    const Animation& animation = loaded.animation;
    ASSERT_EQ(animation.count, 5);
    EXPECT_EQ(animation.loops, c.loop);
    EXPECT_EQ(animation.delays, expected.durations);
    EXPECT_EQ(LaidOverWhite(loaded.image), expected.frames[0]);
    for (int k = 0; k < animation.count; ++k)
      EXPECT_EQ(LaidOverWhite(animation.Frame(k)), expected.frames[size_t(k)]) << "frame " << k + 1;
    // The transparent strip is kept as alpha, as a still picture's is.
    EXPECT_EQ(animation.frames.format(), QImage::Format_ARGB32);
    EXPECT_TRUE(loaded.losses.Text().isEmpty());
  }
}

// An animated WebP loads every frame as Qt's reader composes it: made by Pillow from a GIF's
// frames, it gives that GIF's frames, delays and loops.
TEST_F(GifFramesTest, AnimatedWebpLoadsEveryFrame) {
  const QString gif = Made(3, QStringLiteral("1,2,3,1,2"));
  const QString webp = dir_.filePath(QStringLiteral("a.webp"));
  RunPython(QStringLiteral(R"(
import sys
from PIL import Image, ImageSequence
im = Image.open(sys.argv[1])
frames = [f.convert('RGBA') for f in ImageSequence.Iterator(im)]
durations = [f.info['duration'] for f in ImageSequence.Iterator(Image.open(sys.argv[1]))]
frames[0].save(sys.argv[2], save_all=True, append_images=frames[1:], duration=durations,
               loop=4, lossless=True)
)"),
            {gif, webp});
  const PictureResult expected = LoadPictureFile(gif), loaded = LoadPictureFile(webp);
  ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
  const Animation& animation = loaded.animation;
  ASSERT_EQ(animation.count, 5);
  EXPECT_EQ(animation.loops, 3);  // four plays: the first and three repeats, as the GIF says it
  EXPECT_EQ(animation.delays, expected.animation.delays);
  for (int k = 0; k < animation.count; ++k)
    EXPECT_EQ(LaidOverWhite(animation.Frame(k)), LaidOverWhite(expected.animation.Frame(k)))
        << "frame " << k + 1;
}

TEST_F(GifFramesTest, DamagedLaterFrameKeepsTheFramesBeforeIt) {
  const QByteArray bytes = ReadBytes(Made(0, QStringLiteral("1,1,1,1,1")));
  // Cut inside the fourth image's data: the three frames before it load, and it is named.
  qsizetype fourth = -1;
  for (int seen = 0; seen < 4; ++seen) fourth = bytes.indexOf("\x21\xF9", fourth + 1);
  const PictureResult loaded = DecodePicture(bytes.left(fourth + 30));
  ASSERT_TRUE(loaded.ok()) << loaded.error.toStdString();
  EXPECT_EQ(loaded.animation.count, 3);
  EXPECT_EQ(loaded.losses.damagedFrame, 4);
  EXPECT_TRUE(loaded.losses.Text().contains(QStringLiteral("frame 4 is damaged")));
}

TEST_F(GifFramesTest, TooManyPixelsInAllFramesAreRefusedBeforeDecoding) {
  const QByteArray bytes = ReadBytes(Made(0, QStringLiteral("1,1,1,1,1")));
  const GifFrames small = DecodeGifFrames(bytes, 5 * 24 * 16 - 1);
  EXPECT_TRUE(small.frames.isNull());
  EXPECT_EQ(small.error, AnimationTooLarge(5, 24, 16, 5 * 24 * 16 - 1));
  EXPECT_TRUE(small.error.contains(QStringLiteral("limit of 1,919 pixels")))
      << small.error.toStdString();
  EXPECT_EQ(DecodeGifFrames(bytes, 5 * 24 * 16).count, 5);
  // A screen of the largest side, in two frames of one pixel each: refused, never allocated.
  QByteArray huge = MakeGif(1, 1, {0xFF000000u}, {{0}, {0}});
  huge[6] = huge[8] = char(0x00);
  huge[7] = huge[9] = char(0x40);  // 16384 x 16384
  const PictureResult refused = DecodePicture(huge);
  EXPECT_FALSE(refused.ok());
  EXPECT_TRUE(refused.error.contains(QStringLiteral("for all frames together")))
      << refused.error.toStdString();
}

}  // namespace
}  // namespace tavlo::testing
