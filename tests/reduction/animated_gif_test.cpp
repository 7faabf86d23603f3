// The animated GIF of indexed frames, composed frame by frame on giflib and by Pillow: every
// composed frame is exactly its indexed frame (its transparent pixels clear), with its delay and
// the loop count kept.
#include "reduction/animated_gif.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <random>

#include "picture/gif_frames.h"
#include "picture/picture_loader.h"
#include "support/picture_decoding.h"
#include "support/pillow.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

constexpr int kWidth = 19, kHeight = 13;

// Four frames: noise; the same again; a block and two far corners of it changed, so that most of
// the frame's rectangle is unchanged; every pixel changed.
IndexedPicture FourFrames() {
  IndexedPicture picture{
      kWidth, 4 * kHeight, {}, {0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0x808080}};
  const size_t frame = size_t(kWidth * kHeight);
  picture.indexes.resize(4 * frame);
  std::mt19937 random(25);
  for (size_t i = 0; i < frame; ++i) picture.indexes[i] = std::uint8_t(random() % 5);
  std::copy_n(picture.indexes.begin(), frame, picture.indexes.begin() + frame);
  std::copy_n(picture.indexes.begin(), frame, picture.indexes.begin() + 2 * frame);
  for (int y = 4; y < 7; ++y)
    for (int x = 9; x < 15; ++x) picture.indexes[2 * frame + size_t(y * kWidth + x)] = 4;
  for (const size_t corner : {size_t{0}, frame - 1})
    picture.indexes[2 * frame + corner] = std::uint8_t((picture.indexes[corner] + 1) % 5);
  for (size_t i = 0; i < frame; ++i)
    picture.indexes[3 * frame + i] = std::uint8_t((picture.indexes[2 * frame + i] + 1) % 5);
  return picture;
}

// The same frames with a table of 2^k entries, which has no padding slot to spare.
IndexedPicture FullTable(IndexedPicture picture, int transparent) {
  picture.table.resize(8, 0x404040);
  picture.transparent = transparent;
  return picture;
}

QImage FrameImage(const IndexedPicture& picture, int k, int height) {
  QImage image(picture.width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      const int index = picture.indexes[size_t((k * height + y) * picture.width + x)];
      const ColorValue c =
          index == picture.transparent ? kWhiteColor : picture.table[size_t(index)];
      image.setPixel(x, y, qRgb(RedOf(c), GreenOf(c), BlueOf(c)));
    }
  return image;
}

TEST(AnimatedGifTest, EveryComposedFrameIsItsIndexedFrame) {
  TAVLO_SKIP_WITHOUT_PILLOW();
  const IndexedPicture four = FourFrames();
  IndexedPicture one = four;
  one.height = kHeight;
  one.indexes.resize(size_t(kWidth * kHeight));
  // With index 0 transparent, pixels turn clear from frame to frame: a disposal must clear them.
  IndexedPicture clear = four;
  clear.transparent = 0;
  // Unchanged pixels take a padding slot (above), the transparent index, or stay as they are.
  const IndexedPicture fullClear = FullTable(four, 0), full = FullTable(four, -1);
  const struct {
    const IndexedPicture* picture;
    FrameTiming timing;
  } cases[] = {{&four, {4, {20, 30, 250, 1000}, 3}},
               {&four, {4, {100, 100, 100, 100}, -1}},
               {&one, {1, {70}, 0}},
               {&clear, {4, {40, 40, 40, 40}, 0}},
               {&fullClear, {4, {40, 40, 40, 40}, 0}},
               {&full, {4, {40, 40, 40, 40}, 0}}};
  QTemporaryDir dir;
  for (const auto& c : cases) {
    const EncodedPicture gif = EncodeAnimatedGif(*c.picture, c.timing);
    ASSERT_TRUE(gif.ok()) << gif.error.toStdString();
    const QString path = dir.filePath(QStringLiteral("out.gif"));
    WriteBytes(path, gif.bytes);
    EXPECT_EQ(DecodeGifWithGiflib(gif.bytes).imageCount, c.timing.count);
    // Composed by the loader's own composer on giflib, and by Pillow.
    const GifFrames loaded = DecodeGifFrames(gif.bytes, kMaxPicturePixels);
    ASSERT_EQ(loaded.count, c.timing.count);
    const PillowFrames decoded = DecodeFramesWithPillow(path);
    EXPECT_EQ(decoded.loop, c.timing.loops);
    EXPECT_EQ(decoded.durations, c.timing.delays);
    ASSERT_EQ(int(decoded.frames.size()), c.timing.count);
    for (int k = 0; k < c.timing.count; ++k) {
      const QImage expected = FrameImage(*c.picture, k, kHeight);
      EXPECT_EQ(decoded.frames[size_t(k)], expected) << "frame " << k + 1;
      EXPECT_EQ(LaidOverWhite(loaded.frames.copy(0, k * kHeight, kWidth, kHeight)), expected)
          << "frame " << k + 1;
    }
  }
}

TEST(AnimatedGifTest, UnchangedPartsAreNotWrittenAgain) {
  const IndexedPicture four = FourFrames();
  IndexedPicture same = four;
  const size_t frame = size_t(kWidth * kHeight);
  for (int k = 1; k < 4; ++k)
    std::copy_n(four.indexes.begin(), frame, same.indexes.begin() + k * frame);
  const FrameTiming timing{4, {10, 10, 10, 10}, 0};
  const qsizetype still = EncodeAnimatedGif(same, timing).bytes.size();
  const qsizetype full = EncodeAnimatedGif(four, timing).bytes.size();
  const qsizetype first =
      EncodeAnimatedGif(
          IndexedPicture{
              kWidth, kHeight, {four.indexes.begin(), four.indexes.begin() + frame}, four.table},
          {1, {10}, 0})
          .bytes.size();
  EXPECT_LT(still - first, 3 * 30);  // three one-pixel frames
  EXPECT_GT(full - first, 2 * (still - first));
  // The third frame redraws its corners and block; the noise between them is transparent, with
  // any table: far less than the noise written again.
  const auto third = [&](const IndexedPicture& frames) {
    IndexedPicture two = frames, three = frames;
    two.height = 2 * kHeight;
    two.indexes.resize(2 * frame);
    three.height = 3 * kHeight;
    three.indexes.resize(3 * frame);
    return EncodeAnimatedGif(three, {3, {10, 10, 10}, 0}).bytes.size() -
           EncodeAnimatedGif(two, {2, {10, 10}, 0}).bytes.size();
  };
  for (const IndexedPicture& frames : {four, FullTable(four, 0), FullTable(four, -1)})
    EXPECT_LT(third(frames), 60) << "noise alone: " << first;
}

// gifsicle -O3, the best lossless GIF optimiser at hand, finds at most 2 % to take out of a file
// whose frames are a block moving over a still, noisy background.
TEST(AnimatedGifTest, GifsicleFindsLittleToTakeOut) {
  const QString gifsicle = QStandardPaths::findExecutable(QStringLiteral("gifsicle"));
  if (gifsicle.isEmpty()) GTEST_SKIP() << "gifsicle is not installed";
  constexpr int kSide = 64, kCount = 8;
  IndexedPicture frames{
      kSide, kCount * kSide, {}, {0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF}};
  frames.indexes.resize(size_t(kSide * kSide * kCount));
  std::mt19937 random(25);
  for (size_t i = 0; i < size_t(kSide * kSide); ++i) frames.indexes[i] = std::uint8_t(random() % 4);
  for (int k = 0; k < kCount; ++k) {
    std::uint8_t* frame = frames.indexes.data() + size_t(k * kSide * kSide);
    std::copy_n(frames.indexes.begin(), kSide * kSide, frame);
    for (int y = 20; y < 30; ++y)
      for (int x = 4 + 6 * k; x < 14 + 6 * k; ++x) frame[y * kSide + x] = 4;
  }
  const QByteArray ours =
      EncodeAnimatedGif(frames, {kCount, std::vector<int>(kCount, 50), 0}).bytes;
  QTemporaryDir dir;
  const QString in = dir.filePath(QStringLiteral("in.gif")),
                out = dir.filePath(QStringLiteral("out.gif"));
  WriteBytes(in, ours);
  ASSERT_EQ(QProcess::execute(gifsicle, {QStringLiteral("-O3"), in, QStringLiteral("-o"), out}), 0);
  EXPECT_GE(double(ReadBytes(out).size()), 0.98 * double(ours.size()));
}

}  // namespace
}  // namespace tavlo::testing
