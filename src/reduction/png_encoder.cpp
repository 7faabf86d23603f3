#include "reduction/png_encoder.h"

#include <png.h>

#include <csetjmp>
#include <vector>

namespace tavlo {
namespace {

struct Output {
  QByteArray bytes;
  bool outOfMemory = false;
};

void WriteToBuffer(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Output*>(png_get_io_ptr(png));
  try {
    out->bytes.append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
  } catch (...) {
    out->outOfMemory = true;
    png_error(png, "out of memory");
  }
}

void FlushNothing(png_structp) {}

// libpng reports errors by a long jump back to the setjmp below, so this function holds no
// object with a destructor between that point and the calls that may jump; `rows` and
// `palette` are made by the caller.
bool WritePng(const IndexedPicture& picture, const std::vector<png_bytep>& rows,
              const std::vector<png_color>& palette, const std::vector<png_byte>& alpha,
              Output& out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, WriteToBuffer, FlushNothing);
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
               static_cast<png_uint_32>(picture.height),
               PngBitDepth(static_cast<int>(picture.table.size())), PNG_COLOR_TYPE_PALETTE,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!alpha.empty())
    png_set_tRNS(png, info, alpha.data(), static_cast<int>(alpha.size()), nullptr);
  png_write_info(png, info);
  png_set_packing(png);  // one index a byte in, packed to the bit depth by libpng
  png_write_image(png, const_cast<png_bytepp>(rows.data()));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

int PngBitDepth(int entries) {
  for (int depth : {1, 2, 4}) {
    if (entries <= (1 << depth)) return depth;
  }
  return 8;
}

EncodedPicture EncodePng(const IndexedPicture& picture) {
  EncodedPicture result;
  if (!IsWhole(picture)) {
    result.error = QStringLiteral("There is no picture to write.");
    return result;
  }
  try {
    std::vector<png_color> palette;
    for (ColorValue c : picture.table)
      palette.push_back(png_color{static_cast<png_byte>(RedOf(c)),
                                  static_cast<png_byte>(GreenOf(c)),
                                  static_cast<png_byte>(BlueOf(c))});
    std::vector<png_byte> alpha;  // tRNS up to the transparent index
    if (picture.transparent >= 0) {
      alpha.assign(static_cast<size_t>(picture.transparent) + 1, 255);
      alpha.back() = 0;
    }
    std::vector<png_bytep> rows(static_cast<size_t>(picture.height));
    for (size_t y = 0; y < rows.size(); ++y)
      rows[y] = const_cast<png_bytep>(picture.indexes.data() + y * size_t(picture.width));
    Output out;
    if (WritePng(picture, rows, palette, alpha, out)) {
      result.bytes = std::move(out.bytes);
      return result;
    }
    result.error = out.outOfMemory ? QStringLiteral("There is not enough memory to encode the PNG.")
                                   : QStringLiteral("The PNG could not be encoded.");
  } catch (const std::bad_alloc&) {
    result.error = QStringLiteral("There is not enough memory to encode the PNG.");
  }
  return result;
}

}  // namespace tavlo
