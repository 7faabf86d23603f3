#pragma once
// Pillow, the independent reader and writer of animated GIFs in the tests: the test writes a
// Python script, Pillow runs it with the system's Python.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>

namespace tavlo::testing {

// Whether the system's Python has Pillow; tests skip, saying so, without it.
bool PillowAvailable();

// Runs `script` with `args`; its standard output. A failure of the script fails the test.
QByteArray RunPython(const QString& script, const QStringList& args);

// Every frame of a GIF as Pillow composes it, laid over white, with the frames' durations in
// milliseconds and the loop count (-1 when the file has none).
struct PillowFrames {
  std::vector<QImage> frames;  // Format_RGB32
  std::vector<int> durations;
  int loop = -1;
};
PillowFrames DecodeFramesWithPillow(const QString& path);

// Writes an animation of 24 x 16 pixels with Pillow to `path`: five frames (a sixth, unchanged,
// Pillow merges into the one before) of a yellow block moving over red, the fifth over green, with
// a strip of the transparent index 0; delays 30, 70, 160 (two frames' 120 + 40), 200 and 60 ms;
// each frame after the first cropped to what changed where the disposal lets Pillow do so. The
// frames' disposal methods are `disposals` ("1,2,3,1,2"), the loop count `loop` (-1: none).
void MakeAnimationWithPillow(const QString& path, int loop, const QString& disposals);

}  // namespace tavlo::testing

#define TAVLO_SKIP_WITHOUT_PILLOW()          \
  if (::tavlo::testing::PillowAvailable()) { \
  } else                                     \
    GTEST_SKIP() << "python3 with PIL is not available"
