#include "support/pillow.h"

#include <gtest/gtest.h>
#include <QProcess>

namespace tavlo::testing {
namespace {

const QString kPython = QStringLiteral("/usr/bin/python3");

}  // namespace

bool PillowAvailable() {
  static const bool available = [] {
    QProcess probe;
    probe.start(kPython, {QStringLiteral("-c"), QStringLiteral("import PIL")});
    return probe.waitForFinished(20000) && probe.exitCode() == 0;
  }();
  return available;
}

QByteArray RunPython(const QString& script, const QStringList& args) {
  QProcess python;
  python.start(kPython, QStringList{QStringLiteral("-c"), script} + args);
  if (!python.waitForFinished(60000) || python.exitCode() != 0) {
    ADD_FAILURE() << "python failed: " << python.readAllStandardError().toStdString();
    return {};
  }
  return python.readAllStandardOutput();
}

void MakeAnimationWithPillow(const QString& path, int loop, const QString& disposals) {
  RunPython(QStringLiteral(R"(
import sys
from PIL import Image, ImageDraw
path, loop = sys.argv[1], int(sys.argv[2])
disposal = [int(d) for d in sys.argv[3].split(',')]
palette = [255, 255, 255, 200, 0, 0, 0, 160, 0, 0, 0, 220, 240, 200, 0] + [0] * (251 * 3)
frames = []
for k in range(6):
    im = Image.new('P', (24, 16), 2 if k == 4 else 1)
    im.putpalette(palette)
    draw = ImageDraw.Draw(im)
    draw.rectangle([2 + 3 * k, 1 + k, 8 + 3 * k, 6 + k], fill=4)
    draw.rectangle([k, 10, k + 2, 12], fill=0)
    frames.append(frames[-1].copy() if k == 3 else im)
options = dict(save_all=True, append_images=frames[1:], duration=[30, 70, 120, 40, 200, 60],
               disposal=disposal + [disposal[-1]], transparency=0, optimize=False)
if loop >= 0:
    options['loop'] = loop
frames[0].save(path, **options)
)"),
            {path, QString::number(loop), disposals});
}

PillowFrames DecodeFramesWithPillow(const QString& path) {
  const QByteArray out = RunPython(QStringLiteral(R"(
import sys
from PIL import Image, ImageSequence
im = Image.open(sys.argv[1])
print(im.info.get('loop', -1), im.size[0], im.size[1])
for f in ImageSequence.Iterator(im):
    rgba = f.convert('RGBA')
    flat = Image.new('RGBA', rgba.size, (255, 255, 255, 255))
    flat.alpha_composite(rgba)
    print(f.info.get('duration', 0), flat.convert('RGB').tobytes().hex())
)"),
                                   {path});
  PillowFrames result;
  const QList<QByteArray> lines = out.trimmed().split('\n');
  if (lines.isEmpty()) return result;
  const QList<QByteArray> head = lines[0].split(' ');
  if (head.size() != 3) return result;
  result.loop = head[0].toInt();
  const int width = head[1].toInt(), height = head[2].toInt();
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QList<QByteArray> parts = lines[i].split(' ');
    if (parts.size() != 2) break;
    result.durations.push_back(parts[0].toInt());
    const QByteArray rgb = QByteArray::fromHex(parts[1]);
    QImage frame(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const auto* p = reinterpret_cast<const uchar*>(rgb.constData()) + 3 * (y * width + x);
        frame.setPixel(x, y, qRgb(p[0], p[1], p[2]));
      }
    result.frames.push_back(frame);
  }
  return result;
}

}  // namespace tavlo::testing
