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

inline constexpr ColorValue kWhiteColor = MakeColor(255, 255, 255);

// Pixels whose alpha is below the threshold count as transparent; 128 unless the user chooses.
inline constexpr int kDefaultAlphaThreshold = 128;

// A pixel 0xAARRGGBB (alpha not premultiplied) laid over an opaque `matte`: each channel
// (colour * alpha + matte * (255 - alpha)) / 255, rounded to the nearest. An opaque pixel keeps
// its colour exactly.
constexpr ColorValue OverMatte(std::uint32_t pixel, ColorValue matte) {
  const int alpha = static_cast<int>(pixel >> 24);
  const auto mix = [alpha](int color, int under) {
    return (color * alpha + under * (255 - alpha) + 127) / 255;
  };
  return MakeColor(mix(static_cast<int>((pixel >> 16) & 0xFF), RedOf(matte)),
                   mix(static_cast<int>((pixel >> 8) & 0xFF), GreenOf(matte)),
                   mix(static_cast<int>(pixel & 0xFF), BlueOf(matte)));
}

}  // namespace tavlo
