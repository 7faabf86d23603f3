#include "reduction/transparency.h"

namespace tavlo {

int TransparentEntryIn(int entry, int count) {
  return count >= 2 && entry >= 0 && entry < count ? entry : TransparencyRule::kNone;
}

OpaqueEntries OpaqueEntriesOf(const std::vector<ColorValue>& entries, int transparentEntry) {
  OpaqueEntries opaque;
  for (std::size_t k = 0; k < entries.size(); ++k) {
    if (static_cast<int>(k) == transparentEntry) continue;
    opaque.colors.push_back(entries[k]);
    opaque.positions.push_back(static_cast<std::uint8_t>(k));
  }
  return opaque;
}

}  // namespace tavlo
