// tavlo-cli frames: each stored frame of an animation the program wrote.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "cli_test_support.h"
#include "reduction/animated_gif.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

TEST(FramesCommandTest, ListsEachStoredFrame) {
  // Three frames of 4 x 3: the first whole, each of the others with one pixel new.
  IndexedPicture frames{4, 9, std::vector<std::uint8_t>(36, 0), {0x000000, 0xFFFFFF}};
  frames.indexes[12 + 11] = frames.indexes[24 + 11] = 1;  // frames 2 and 3, pixel (3, 2)
  frames.indexes[24 + 6] = 1;                             // frame 3, pixel (2, 1)
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("a.gif"));
  const QByteArray gif = EncodeAnimatedGif(frames, {3, {40, 50, 60}, 2}).bytes;
  WriteBytes(path, gif);
  const CliRun run = RunCli({QStringLiteral("frames"), path});
  ASSERT_EQ(run.code, 0) << run.err.toStdString();
  const QStringList lines = run.out.trimmed().split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 5);
  const QStringList rects[] = {{"1", "0", "0", "4", "3", "1", "40", "-"},
                               {"2", "3", "2", "1", "1", "1", "50", "-"},
                               {"3", "2", "1", "1", "1", "1", "60", "-"}};
  for (int k = 0; k < 3; ++k)
    EXPECT_EQ(lines[k + 1].simplified().split(' ').mid(0, 8), rects[k])
        << lines[k + 1].toStdString();
  EXPECT_EQ(lines[4], QStringLiteral("3 frames, loop count 2, %1 bytes").arg(gif.size()));
  EXPECT_EQ(RunCli({QStringLiteral("frames"), dir.filePath(QStringLiteral("none.gif"))}).code, 1);
}

}  // namespace
}  // namespace tavlo::testing
