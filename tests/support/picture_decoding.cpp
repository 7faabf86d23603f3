#include "support/picture_decoding.h"

#include <gif_lib.h>

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
    }
    at += 12 + qsizetype(length);
  }
  if (header.width == 0 || header.palette.empty()) header.error = QStringLiteral("no IHDR or PLTE");
  return header;
}

}  // namespace tavlo::testing
