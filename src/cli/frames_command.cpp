#include "cli/frames_command.h"

#include <QFile>

#include "cli/command_line.h"
#include "picture/gif_frames.h"
#include "picture/picture_loader.h"

namespace tavlo::cli {
namespace {

CommandSpec FramesSpec() {
  return {
      .name = QStringLiteral("frames"),
      .synopsis = QStringLiteral("IN.gif"),
      .summary = QStringLiteral(
          "Lists each frame of the GIF IN as the file stores it: its rectangle (left, top,\n"
          "width, height), disposal method, delay in milliseconds, transparent index (- for\n"
          "none) and bytes; then the frame count, the loop count and the file's size."),
      .options = {},
      .minimumInputs = 1,
      .maximumInputs = 1,
      .example = QStringLiteral("frames recording.gif"),
  };
}

QString Column(qint64 value, int width) {
  return QString::number(value).rightJustified(width);
}

}  // namespace

int RunFrames(const QStringList& arguments, CliIo& io) {
  CommandLine line(FramesSpec());
  if (const auto ended = line.Parse(arguments, io)) return *ended;
  const QString path = line.Inputs().at(0);
  QFile file(path);
  constexpr qint64 kMaxFileBytes = kMaxPicturePixels * 4;
  if (!file.open(QIODevice::ReadOnly)) {
    ReportFailure(io, ShownPath(path), file.errorString());
    return kExitSomeFailed;
  }
  const QByteArray bytes = file.read(kMaxFileBytes);
  const GifBlocks gif = ScanGifBlocks(bytes);
  if (gif.blocks.empty()) {
    ReportFailure(io, ShownPath(path), QStringLiteral("the file is no GIF with a whole frame"));
    return kExitSomeFailed;
  }
  io.out << "frame  left   top width height disposal  delay transparent   bytes\n";
  int k = 0;
  for (const GifImageBlock& b : gif.blocks)
    io.out << Column(++k, 5) << Column(b.left, 6) << Column(b.top, 6) << Column(b.width, 6)
           << Column(b.height, 7) << Column(b.disposal, 9) << Column(b.delayMs, 7)
           << (b.transparent < 0 ? QStringLiteral("-").rightJustified(12)
                                 : Column(b.transparent, 12))
           << Column(b.bytes, 8) << '\n';
  io.out << gif.blocks.size() << (gif.blocks.size() == 1 ? " frame" : " frames") << ", "
         << (gif.loops < 0    ? QStringLiteral("no loop count")
             : gif.loops == 0 ? QStringLiteral("looping for ever")
                              : QStringLiteral("loop count %1").arg(gif.loops))
         << ", " << bytes.size() << " bytes\n";
  if (gif.images > int(gif.blocks.size()))
    ReportWarning(io, QStringLiteral("frame %1 is cut off or damaged").arg(gif.blocks.size() + 1));
  return kExitSuccess;
}

}  // namespace tavlo::cli
