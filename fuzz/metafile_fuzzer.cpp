// The metafile renderers (WMF and EMF) on arbitrary bytes, directly, without the picture
// loader's recognition in front of them.
#include <cstddef>
#include <cstdint>

#include "fuzz_app.h"
#include "picture/metafile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  EnsureGuiApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QString error;
  if (tavlo::LooksLikeWmf(bytes)) (void)tavlo::RenderWmf(bytes, &error);
  if (tavlo::LooksLikeEmf(bytes)) (void)tavlo::RenderEmf(bytes, &error);
  return 0;
}
