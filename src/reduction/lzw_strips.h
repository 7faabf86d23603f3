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
#include <functional>
#include <memory>
#include <vector>

namespace tavlo {

// Index count of each strip but the last. A table is full after at most 4096 codes, every few
// thousand pixels, so the clears at strip boundaries cost next to nothing.
inline constexpr size_t kLzwStripLength = size_t{1} << 19;

inline constexpr int kMaxLzwCodeBits = 12;

// The bits of one strip, least significant bit first, in a buffer that is never zeroed: every
// byte up to the last bit is written before it is read.
struct BitStream {
  std::unique_ptr<std::uint8_t[]> bytes;
  size_t capacity = 0;
  std::uint64_t bits = 0;  // bits written
};

// Writes codes into a BitStream, least significant bit first. The state is open to loops that
// keep it in registers.
struct CodeWriter {
  // Makes room for the codes of `count` indexes and starts at the stream's beginning.
  void Begin(BitStream& out, size_t count);
  void Put(std::uint32_t code, int width);
  // Writes out what is pending and records the stream's length.
  void End(BitStream& out);

  std::uint8_t* at = nullptr;  // where the next word of codes goes
  std::uint64_t accumulator = 0;
  int pending = 0;
};

// One strip of the index sequence: where it starts, how long it is, whether it is the first (a
// clear code starts it) and the last (an end code ends it, a clear code otherwise).
struct Strip {
  size_t begin = 0;
  size_t length = 0;
  bool first = false;
  bool last = false;
};
using StripWorker = std::function<void(const Strip& strip, BitStream& out)>;
using StripWorkerMaker = std::function<StripWorker()>;

// The code stream of `count` indexes cut into strips, each encoded by a worker that `makeWorker`
// makes once per thread; `threads` 0 chooses by size and processor count. Throws what a worker
// throws (std::bad_alloc).
std::vector<std::uint8_t> EncodeStrips(size_t count, int threads,
                                       const StripWorkerMaker& makeWorker);

// The code stream of `count` indexes, each below 2^minimumCodeSize (2 to 8), packed least
// significant bit first, without the GIF's sub-block framing. `threads` 0 chooses by size and
// processor count. Throws std::bad_alloc when memory runs out.
std::vector<std::uint8_t> EncodeLzw(const std::uint8_t* indexes, size_t count, int minimumCodeSize,
                                    int threads = 0);

}  // namespace tavlo
