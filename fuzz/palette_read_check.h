#pragma once
// What every palette reader promises on any bytes: at most 256 colours, each a valid colour
// value, and a refusal (no colours) that always says why. Anything else stops the fuzzer.
#include <cstddef>
#include <cstdint>

#include "formats/palette_read.h"

inline QByteArrayView FuzzBytes(const uint8_t* data, size_t size) {
  return QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

inline void CheckPaletteRead(const tavlo::PaletteRead& read) {
  if (read.colors.size() > 256) __builtin_trap();
  for (const tavlo::ColorValue c : read.colors)
    if (c < 0 || c > 0x00FFFFFF) __builtin_trap();
  if (read.colors.empty() && read.warnings.isEmpty()) __builtin_trap();
}
