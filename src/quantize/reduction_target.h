#pragma once
// What "Reduce to target" aims at: a GIF of at most so many bytes, or at most so large a share of
// pixels whose CIEDE2000 loss exceeds 1.0 (about the smallest difference people notice side by
// side), pixel by pixel or as seen (the visible loss, S-CIELAB).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavlo {

struct ReductionTarget {
  enum class Kind { GifBytes, ShareAboveOne, VisibleShareAboveOne };
  Kind kind = Kind::GifBytes;
  std::uint64_t bytes = 0;  // GifBytes: the largest size allowed
  double percent = 0;       // the shares: the largest share allowed, 0..100

  // Read from text as a user types it: an optional "≤" or "<=", a number, and a unit. A whole
  // number alone, or with "bytes", "B", "KB" (1000 bytes) or "MB", is a GIF size; a number with
  // "%" is a share (0 to 100, a decimal point allowed), of the visible loss when "visible"
  // follows. Blanks anywhere are ignored; case too. Anything else gives nullopt. Examples:
  // "≤ 150000", "150 KB", "<= 5 %", "2.5%", "≤ 5 % visible".
  static std::optional<ReductionTarget> Parse(std::string_view text);

  // "≤ 150,000 bytes", "≤ 5 %" or "≤ 5 % visible", as messages show the target.
  std::string Describe() const;

  bool IsShare() const { return kind != Kind::GifBytes; }
  bool operator==(const ReductionTarget&) const = default;
};

}  // namespace tavlo
