#pragma once
// Independent readers for the GIF and PNG files the program writes: giflib for GIFs, and for PNGs
// a plain chunk reader for the header and table plus Qt's reader for the pixels.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

#include "base/color_value.h"

namespace tavlo::testing {

struct DecodedGif {
  QString error;       // empty when giflib read the file
  QByteArray version;  // "87a" or "89a"
  int width = 0;
  int height = 0;
  std::vector<ColorValue> globalTable;  // as many entries as the file holds
  int imageCount = 0;
  bool localTable = false;
  bool interlaced = false;
  int left = -1, top = -1, imageWidth = 0, imageHeight = 0;
  std::vector<std::uint8_t> indexes;  // of the first image, row by row
};
DecodedGif DecodeGifWithGiflib(const QByteArray& bytes);

struct PngHeader {
  QString error;  // empty when the signature, IHDR and PLTE were found
  int width = 0;
  int height = 0;
  int bitDepth = 0;
  int colorType = 0;
  int interlace = -1;
  std::vector<ColorValue> palette;     // the PLTE chunk, as many entries as it holds
  std::vector<QByteArray> chunkTypes;  // in file order
};
PngHeader ReadPngHeader(const QByteArray& bytes);

}  // namespace tavlo::testing
