#include "support/picture_decoding.h"

#include <gif_lib.h>

#include <QProcess>
#include <QTemporaryFile>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace tavlo::testing {
namespace {

struct MemoryReader {
  const QByteArray* bytes;
  qsizetype at = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* to, int wanted) {
  auto* reader = static_cast<MemoryReader*>(gif->UserData);
  const auto n = static_cast<int>(std::min<qsizetype>(wanted, reader->bytes->size() - reader->at));
  std::memcpy(to, reader->bytes->constData() + reader->at, static_cast<size_t>(n));
  reader->at += n;
  return n;
}

}  // namespace

DecodedGif DecodeGifWithGiflib(const QByteArray& bytes) {
  DecodedGif decoded;
  MemoryReader reader{&bytes};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadMemory, &error);
  if (!gif) {
    decoded.error = QString::fromLatin1(GifErrorString(error));
    return decoded;
  }
  if (DGifSlurp(gif) != GIF_OK) {
    decoded.error = QString::fromLatin1(GifErrorString(gif->Error));
    DGifCloseFile(gif, &error);
    return decoded;
  }
  decoded.version = bytes.mid(3, 3);
  decoded.width = gif->SWidth;
  decoded.height = gif->SHeight;
  if (gif->SColorMap) {
    for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
      const GifColorType c = gif->SColorMap->Colors[i];
      decoded.globalTable.push_back(MakeColor(c.Red, c.Green, c.Blue));
    }
  }
  decoded.imageCount = gif->ImageCount;
  if (gif->ImageCount > 0) {
    const SavedImage& image = gif->SavedImages[0];
    decoded.localTable = image.ImageDesc.ColorMap != nullptr;
    decoded.interlaced = image.ImageDesc.Interlace;
    decoded.left = image.ImageDesc.Left;
    decoded.top = image.ImageDesc.Top;
    decoded.imageWidth = image.ImageDesc.Width;
    decoded.imageHeight = image.ImageDesc.Height;
    decoded.indexes.assign(image.RasterBits, image.RasterBits + size_t(image.ImageDesc.Width) *
                                                                    size_t(image.ImageDesc.Height));
    GraphicsControlBlock control;
    if (DGifSavedExtensionToGCB(gif, 0, &control) == GIF_OK)
      decoded.transparentIndex = control.TransparentColor;
  }
  DGifCloseFile(gif, &error);
  return decoded;
}

PngHeader ReadPngHeader(const QByteArray& bytes) {
  PngHeader header;
  if (!bytes.startsWith("\x89PNG\r\n\x1a\n")) {
    header.error = QStringLiteral("no PNG signature");
    return header;
  }
  qsizetype at = 8;
  while (at + 12 <= bytes.size()) {
    const auto length = qFromBigEndian<quint32>(bytes.constData() + at);
    const QByteArray type = bytes.mid(at + 4, 4);
    const char* data = bytes.constData() + at + 8;
    if (at + 12 + qsizetype(length) > bytes.size()) break;
    header.chunkTypes.push_back(type);
    if (type == "IHDR" && length == 13) {
      header.width = static_cast<int>(qFromBigEndian<quint32>(data));
      header.height = static_cast<int>(qFromBigEndian<quint32>(data + 4));
      header.bitDepth = static_cast<unsigned char>(data[8]);
      header.colorType = static_cast<unsigned char>(data[9]);
      header.interlace = static_cast<unsigned char>(data[12]);
    } else if (type == "PLTE") {
      for (quint32 i = 0; i + 2 < length; i += 3)
        header.palette.push_back(MakeColor(static_cast<unsigned char>(data[i]),
                                           static_cast<unsigned char>(data[i + 1]),
                                           static_cast<unsigned char>(data[i + 2])));
    } else if (type == "tRNS") {
      header.transparency = QByteArray(data, length);
    }
    at += 12 + qsizetype(length);
  }
  if (header.width == 0 || header.palette.empty()) header.error = QStringLiteral("no IHDR or PLTE");
  return header;
}

PillowIndexed ReadIndexedWithPillow(const QByteArray& bytes) {
  PillowIndexed read;
  const QString python = QStringLiteral("/usr/bin/python3");
  QProcess probe;
  probe.start(python, {QStringLiteral("-c"), QStringLiteral("import PIL")});
  if (!probe.waitForFinished(20000) || probe.exitCode() != 0) {
    read.skipped = QStringLiteral("python3 with PIL is not available");
    return read;
  }
  QTemporaryFile file;
  if (!file.open() || file.write(bytes) != bytes.size() || !file.flush()) {
    read.error = QStringLiteral("cannot write a temporary file");
    return read;
  }
  QProcess pil;
  pil.start(python, {QStringLiteral("-c"),
                     QStringLiteral("import sys\n"
                                    "from PIL import Image\n"
                                    "im = Image.open(sys.argv[1])\n"
                                    "t = im.info.get('transparency')\n"
                                    "if isinstance(t, bytes): t = t.find(0)\n"
                                    "print(im.mode, -1 if t is None else t)\n"
                                    "print(' '.join(str(p) for p in im.getdata()))\n"),
                     file.fileName()});
  if (!pil.waitForFinished(60000) || pil.exitCode() != 0) {
    read.error = QString::fromLocal8Bit(pil.readAllStandardError());
    return read;
  }
  const QStringList lines = QString::fromLatin1(pil.readAllStandardOutput()).split('\n');
  const QStringList head = lines.value(0).split(' ');
  read.mode = head.value(0);
  read.transparentIndex = head.value(1).toInt();
  for (const QString& index : lines.value(1).split(' ', Qt::SkipEmptyParts))
    read.indexes.push_back(static_cast<std::uint8_t>(index.toInt()));
  return read;
}

}  // namespace tavlo::testing
