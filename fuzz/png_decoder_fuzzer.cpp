// The PNG decoder (its own for photos, libpng for every other kind) on arbitrary bytes behind a
// PNG signature: it ends with a picture within the size budget in one of its two formats, or
// with a reason; never a crash, hang or unbounded allocation.
#include <cstddef>
#include <cstdint>

#include "base/file_signatures.h"
#include "fuzz_app.h"
#include "picture/picture_loader.h"
#include "picture/png_decoder.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  EnsureGuiApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  if (!tavlo::HasPngSignature({bytes.constData(), size_t(bytes.size())}))
    bytes.prepend("\x89PNG\r\n\x1a\n");
  const tavlo::DecodedPng png = tavlo::DecodePng(bytes);
  if (png.image.isNull()) {
    if (png.error.isEmpty()) __builtin_trap();
    return 0;
  }
  if (!tavlo::PictureSizeAllowed(png.image.width(), png.image.height())) __builtin_trap();
  if (png.image.format() != QImage::Format_RGB32 && png.image.format() != QImage::Format_ARGB32)
    __builtin_trap();
  return 0;
}
