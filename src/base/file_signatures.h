#pragma once
// The first bytes that tell a file's format: one home for each signature, for the palette
// readers, the picture loader and the frame reader alike. Headers only, so taking a view of any
// buffer: std::string_view(data, size).
#include <string_view>

namespace tavlo {

inline bool HasPngSignature(std::string_view bytes) {
  return bytes.starts_with(std::string_view("\x89PNG\r\n\x1a\n", 8));
}

// GIF87a or GIF89a; a file that says "GIF" and any other version is no GIF.
inline bool HasGifSignature(std::string_view bytes) {
  return bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a");
}

}  // namespace tavlo
