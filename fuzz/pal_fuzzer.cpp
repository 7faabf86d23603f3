// The PAL palette reader on arbitrary bytes: never a crash, at most 256 colours, each a valid
// colour value.
#include <cstddef>
#include <cstdint>

#include "formats/pal_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const tavlo::PaletteRead read = tavlo::ReadPal(
      QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  if (read.colors.size() > 256) __builtin_trap();
  for (const tavlo::ColorValue c : read.colors)
    if (c < 0 || c > 0x00FFFFFF) __builtin_trap();
  return 0;
}
