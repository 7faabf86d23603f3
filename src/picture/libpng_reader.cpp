#include "picture/libpng_reader.h"

#include <png.h>

#include <QtGlobal>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "picture/picture_loader.h"

namespace tavlo {
namespace {

// Plain data only: libpng leaves a failed read by jumping out of its calls, past any destructor.
struct Reading {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  std::size_t position = 0;
  char error[200] = {};
};

struct Layout {
  png_uint_32 width = 0, height = 0;
  bool alpha = false;
  std::size_t rowBytes = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, std::size_t length) {
  auto* reading = static_cast<Reading*>(png_get_io_ptr(png));
  if (length > reading->size - reading->position) png_error(png, "the file ends early");
  std::memcpy(out, reading->data + reading->position, length);
  reading->position += length;
}

void OnError(png_structp png, png_const_charp message) {
  auto* reading = static_cast<Reading*>(png_get_error_ptr(png));
  std::strncpy(reading->error, message, sizeof reading->error - 1);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp message) {
  qWarning("libpng warning: %s", message);
}

// Reads the chunks before the pixels and sets the transforms that give 8-bit B, G, R, A in
// memory order (QImage's ARGB32 and RGB32 on a little-endian machine, ARGB on a big-endian one).
bool ReadLayout(png_structp png, png_infop info, Layout& layout) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
  png_read_info(png, info);
  layout.width = png_get_image_width(png, info);
  layout.height = png_get_image_height(png, info);
  const png_byte type = png_get_color_type(png, info);
  layout.alpha = (type & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
  png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
  png_set_bgr(png);
  if (!layout.alpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
#else
  png_set_swap_alpha(png);
  if (!layout.alpha) png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
#endif
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  layout.rowBytes = png_get_rowbytes(png, info);
  return true;
}

bool ReadPixels(png_structp png, png_infop info, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  png_read_end(png, info);
  return true;
}

DecodedPng Failed(const QString& reason) {
  return {QImage(), reason};
}

}  // namespace

DecodedPng ReadPngWithLibpng(const QByteArray& bytes) {
  Reading reading;
  reading.data = reinterpret_cast<const unsigned char*>(bytes.constData());
  reading.size = std::size_t(bytes.size());
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reading, OnError, OnWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return Failed(QStringLiteral("not enough memory for the picture"));
  }
  png_set_read_fn(png, &reading, ReadFromMemory);
  DecodedPng result;
  Layout layout;
  if (!ReadLayout(png, info, layout)) {
    result = Failed(QStringLiteral("the picture data is damaged: %1").arg(reading.error));
  } else if (!PictureSizeAllowed(layout.width, layout.height)) {
    result = Failed(PictureTooLarge(layout.width, layout.height));
  } else {
    QImage image(int(layout.width), int(layout.height),
                 layout.alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull() || std::size_t(image.bytesPerLine()) < layout.rowBytes) {
      result = Failed(QStringLiteral("not enough memory for the picture"));
    } else {
      std::vector<png_bytep> rows(layout.height);
      for (png_uint_32 y = 0; y < layout.height; ++y) rows[y] = image.scanLine(int(y));
      if (ReadPixels(png, info, rows.data()))
        result = {std::move(image), {}};
      else
        result =
            Failed(QStringLiteral("the picture data is cut off or damaged: %1").arg(reading.error));
    }
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return result;
}

}  // namespace tavlo
