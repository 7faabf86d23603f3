#pragma once
// The LZW code stream of a GIF image, encoded in strips that can run on every core.
//
// Each strip of the index sequence is encoded on its own, from an empty string table; every strip
// but the last ends with a clear code, written where an end code would go, so the decoder empties
// its table exactly where the next strip's encoder started from an empty one. The strips' bit
// streams then follow each other without a gap. The result is one valid code stream that any GIF
// decoder reads, as if one encoder had cleared its table at the strip boundaries.
//
// The strips have a fixed length, so the bytes never depend on the number of threads.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavlo {

// Index count of each strip but the last. A table is full after at most 4096 codes, every few
// thousand pixels, so the clears at strip boundaries cost next to nothing.
inline constexpr size_t kLzwStripLength = size_t{1} << 19;

// The code stream of `count` indexes, each below 2^minimumCodeSize (2 to 8), packed least
// significant bit first, without the GIF's sub-block framing. `threads` 0 chooses by size and
// processor count. Throws std::bad_alloc when memory runs out.
std::vector<std::uint8_t> EncodeLzw(const std::uint8_t* indexes, size_t count, int minimumCodeSize,
                                    int threads = 0);

}  // namespace tavlo
