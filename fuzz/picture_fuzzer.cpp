// The picture loader on arbitrary bytes: whatever the content says the format is, decoding ends
// with a picture within the size budget or a reason, never a crash, hang or unbounded allocation.
#include <cstddef>
#include <cstdint>

#include "fuzz_app.h"
#include "picture/metafile.h"
#include "picture/picture_loader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  EnsureGuiApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  // Metafiles are rendered in a child process, a thousand times slower to fuzz: the metafile
  // target covers them.
  if (tavlo::LooksLikeWmf(bytes) || tavlo::LooksLikeEmf(bytes)) return 0;
  const tavlo::PictureResult result = tavlo::DecodePicture(bytes);
  if (result.ok() && !tavlo::PictureSizeAllowed(result.image.width(), result.image.height()))
    __builtin_trap();
  if (!result.ok() && result.error.isEmpty()) __builtin_trap();
  return 0;
}
