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

// Frames as they play: each run of identical frames as one, shown for their delays together.
struct Played {
  std::vector<QImage> frames;
  std::vector<int> durations;
};
Played AsPlayed(const std::vector<QImage>& frames, const std::vector<int>& durations) {
  Played played;
  for (size_t k = 0; k < frames.size(); ++k) {
    if (k > 0 && frames[k] == played.frames.back()) {
      played.durations.back() += durations[k];
    } else {
      played.frames.push_back(frames[k]);
      played.durations.push_back(durations[k]);
    }
  }
  return played;
}
Played AsPlayed(const IndexedPicture& picture, const FrameTiming& timing) {
  std::vector<QImage> frames;
  for (int k = 0; k < timing.count; ++k) frames.push_back(FrameImage(picture, k, kHeight));
  return AsPlayed(frames, timing.delays);
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
    // Composed by Pillow and by the loader's own composer on giflib. The second of the four
    // frames is the first again: merged into it, the animation plays as the frames given.
    const PillowFrames decoded = DecodeFramesWithPillow(path);
    const GifFrames loaded = DecodeGifFrames(gif.bytes, kMaxPicturePixels);
    EXPECT_EQ(decoded.loop, c.timing.loops);
    EXPECT_EQ(gif.mergedFrames, c.timing.count - int(decoded.frames.size()));
    const Played played = AsPlayed(decoded.frames, decoded.durations);
    const Played expected = AsPlayed(*c.picture, c.timing);
    EXPECT_EQ(played.frames, expected.frames);
    EXPECT_EQ(played.durations, expected.durations);
    ASSERT_EQ(size_t(loaded.count), decoded.frames.size());
    for (size_t k = 0; k < decoded.frames.size(); ++k)
      EXPECT_EQ(LaidOverWhite(loaded.frames.copy(0, int(k) * kHeight, kWidth, kHeight)),
                decoded.frames[k])
          << "frame " << k + 1;
  }
}

// A frame identical to the one before is left out, its delay added to that frame's; beyond the
// 655.35 s a frame can hold, frames of one unchanged pixel go on showing it. Every frame plays as
// long as before.
TEST(AnimatedGifTest, IdenticalFramesAreMergedAndPlayAsLongAsBefore) {
  TAVLO_SKIP_WITHOUT_PILLOW();
  const IndexedPicture four = FourFrames();  // frames 1 and 2 are identical
  const size_t frame = size_t(kWidth * kHeight);
  IndexedPicture six = four;  // 1 1 3 3 3 4
  six.height = 6 * kHeight;
  six.indexes.resize(6 * frame);
  for (int k : {3, 4})
    std::copy_n(four.indexes.begin() + 2 * frame, frame, six.indexes.begin() + k * frame);
  std::copy_n(four.indexes.begin() + 3 * frame, frame, six.indexes.begin() + 5 * frame);
  QTemporaryDir dir;
  for (const FrameTiming& timing : {FrameTiming{6, {10, 20, 30, 40, 50, 60}, 0},
                                    FrameTiming{6, {10, 20, 400'000, 400'000, 50, 60}, 0}}) {
    const EncodedPicture gif = EncodeAnimatedGif(six, timing);
    ASSERT_TRUE(gif.ok());
    EXPECT_EQ(gif.mergedFrames, 3);
    EXPECT_EQ(MergedFramesText(gif.mergedFrames), "3 identical frames merged");
    const QString path = dir.filePath(QStringLiteral("merged.gif"));
    WriteBytes(path, gif.bytes);
    const PillowFrames decoded = DecodeFramesWithPillow(path);
    const Played played = AsPlayed(decoded.frames, decoded.durations);
    const Played expected = AsPlayed(six, timing);
    EXPECT_EQ(played.durations, expected.durations);
    EXPECT_EQ(played.frames, expected.frames);
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
