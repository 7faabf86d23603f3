#include "support/libpng_reference.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace tavlo::testing {
namespace {

struct Source {
  const QByteArray* bytes;
  qsizetype at = 0;
};

int To8Bits(const png_byte* sample) {
  const int value = sample[0] << 8 | sample[1];
  return (value * 255 + 32767) / 65535;
}

// libpng's part: the samples widened to 16 bits, RGB or grey, with alpha where the file has it.
// Plain data across the jump of a failed read.
bool ReadSamples(png_structp png, png_infop info, std::vector<png_byte>* samples, int* channels,
                 bool* alpha) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  const png_byte type = png_get_color_type(png, info);
  *alpha = (type & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
  png_set_expand_16(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  *channels = png_get_channels(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  const std::size_t rowBytes = png_get_rowbytes(png, info);
  samples->assign(rowBytes * height, 0);
  std::vector<png_bytep> rows(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = samples->data() + y * rowBytes;
  png_read_image(png, rows.data());
  png_read_end(png, info);
  return true;
}

}  // namespace

QImage ReadPngAsLibpngDoes(const QByteArray& bytes) {
  Source source{&bytes};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr,
                                           [](png_structp, png_const_charp) {});
  png_infop info = png_create_info_struct(png);
  png_set_read_fn(png, &source, [](png_structp p, png_bytep out, png_size_t length) {
    auto* s = static_cast<Source*>(png_get_io_ptr(p));
    if (qsizetype(length) > s->bytes->size() - s->at) png_error(p, "cut off");
    std::memcpy(out, s->bytes->constData() + s->at, length);
    s->at += qsizetype(length);
  });
  std::vector<png_byte> samples;
  int channels = 0;
  bool alpha = false;
  const bool read = ReadSamples(png, info, &samples, &channels, &alpha);
  const int width = int(png_get_image_width(png, info)),
            height = int(png_get_image_height(png, info));
  png_destroy_read_struct(&png, &info, nullptr);
  if (!read) return {};
  QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  const bool grey = channels <= 2;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const png_byte* s = samples.data() + (std::size_t(y) * width + x) * channels * 2;
      const int r = To8Bits(s), g = To8Bits(grey ? s : s + 2), b = To8Bits(grey ? s : s + 4);
      const int a = channels % 2 == 0 ? To8Bits(s + 2 * (channels - 1)) : 255;
      image.setPixel(x, y, qRgba(r, g, b, alpha ? a : 255));
    }
  return image;
}

}  // namespace tavlo::testing
