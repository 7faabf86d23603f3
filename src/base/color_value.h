#pragma once
// A colour value is a 32-bit signed integer 0x00BBGGRR: red + 256 * green + 65536 * blue,
// each channel 0..255. Every reader, writer and operation of the palette speaks it.
#include <array>
#include <cstdint>

namespace tavlo {

using ColorValue = std::int32_t;

inline constexpr int kPaletteSize = 256;
using PaletteColors = std::array<ColorValue, kPaletteSize>;

constexpr ColorValue MakeColor(int red, int green, int blue) {
  return red + 256 * green + 65536 * blue;
}
constexpr int RedOf(ColorValue c) {
  return c & 0xFF;
}
constexpr int GreenOf(ColorValue c) {
  return (c >> 8) & 0xFF;
}
constexpr int BlueOf(ColorValue c) {
  return (c >> 16) & 0xFF;
}

// Conversions to and from Qt's 0xAARRGGBB pixel order (alpha dropped on the way in).
constexpr std::uint32_t ToRgbPixel(ColorValue c) {
  return 0xFF000000u | (static_cast<std::uint32_t>(RedOf(c)) << 16) |
         (static_cast<std::uint32_t>(GreenOf(c)) << 8) | static_cast<std::uint32_t>(BlueOf(c));
}
constexpr ColorValue FromRgbPixel(std::uint32_t pixel) {
  return MakeColor(static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
                   static_cast<int>(pixel & 0xFF));
}

}  // namespace tavlo
