#include "reduction/lzw_strips.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>

#include "base/parallel_work.h"

namespace tavlo {
namespace {

constexpr std::uint32_t kTableSize = 1u << kMaxLzwCodeBits;
constexpr int kMaxCodeBits = kMaxLzwCodeBits;

// LZW of one strip. The string table is a hash table of 32768 slots (128 KiB, in the second-level
// cache). It holds at most 4096 strings, so it is never more than an eighth full and nearly every
// look-up ends at its first slot: tables of 8192 and 16384 slots were measured 19 % and 9 %
// slower on photos for their collisions, and a dense child table per string (2 MiB for 256
// colours) misses the caches on most look-ups. A slot holds the string's key, its prefix code and
// appended index (20 bits), above its own code (12 bits); 0 is an empty slot, since no string of
// two indexes or more has code 0.
class StripEncoder {
 public:
  explicit StripEncoder(int minimumCodeSize)
      : alphabetBits_(minimumCodeSize),
        clear_(1u << minimumCodeSize),
        slots_(std::make_unique<std::uint32_t[]>(kSlots)) {}

  // Encodes `count` >= 1 indexes into `out`: a clear code first when `first`, and at the end
  // the end code when `last`, a clear code otherwise.
  void Encode(const std::uint8_t* indexes, size_t count, bool first, bool last, BitStream& out) {
    writer_.Begin(out, count);
    Reset();
    if (first) Put(clear_);
    std::uint32_t prefix = indexes[0];
    // Whether a string is in the table is a coin toss on photos, so the loop has no branch on
    // it: both outcomes are worked out and the right one kept. The state lives in locals, in
    // registers; the code width changes (about a dozen times per table) take the one branch.
    std::uint64_t accumulator = writer_.accumulator;
    int pending = writer_.pending;
    std::uint8_t* at = writer_.at;
    std::uint32_t next = next_;
    int width = width_;
    std::uint32_t limit = 1u << width;
    std::uint32_t* const slots = slots_.get();
    for (size_t i = 1; i < count; ++i) {
      const std::uint32_t c = indexes[i];
      const std::uint32_t key = (prefix << alphabetBits_) | c;
      std::uint32_t slot = SlotOf(key);
      std::uint32_t entry;
      while ((entry = slots[slot]) != 0 && (entry >> kMaxCodeBits) != key)
        slot = (slot + 1) & (kSlots - 1);
      const bool miss = entry == 0;
      // A miss writes the prefix's code and makes the new string's entry.
      accumulator |= std::uint64_t{miss ? prefix : 0} << pending;
      pending += miss ? width : 0;
      std::memcpy(at, &accumulator, 4);  // the buffer has room; kept only when full
      const bool full = pending >= 32;
      at += full ? 4 : 0;
      accumulator = full ? accumulator >> 32 : accumulator;
      pending -= full ? 32 : 0;
      slots[slot] = miss ? (key << kMaxCodeBits) | next : entry;
      if (miss && next >= limit) [[unlikely]] {
        if (width < kMaxCodeBits) {
          limit = ++width < kMaxCodeBits ? 1u << width : kTableSize;
        } else {  // the table is full: a clear code, and it starts again
          accumulator |= std::uint64_t{clear_} << pending;
          pending += width;
          std::memcpy(at, &accumulator, 4);
          if (pending >= 32) {
            at += 4;
            accumulator >>= 32;
            pending -= 32;
          }
          std::fill_n(slots, kSlots, 0u);
          next = clear_ + 1;  // +1 below
          width = alphabetBits_ + 1;
          limit = 1u << width;
        }
      }
      next += miss ? 1 : 0;
      prefix = miss ? c : entry & (kTableSize - 1);
    }
    writer_.at = at;
    writer_.accumulator = accumulator;
    writer_.pending = pending;
    next_ = next;
    width_ = width;
    Emit(prefix);
    if (last) {
      Put(clear_ + 1);
    } else {
      ClearTable();
    }
    writer_.End(out);
  }

 private:
  static constexpr std::uint32_t kSlots = 8 * kTableSize;

  static std::uint32_t SlotOf(std::uint32_t key) {
    return (key * 0x9E3779B1u) >> (32 - (kMaxCodeBits + 3));  // Fibonacci hashing
  }

  void Reset() {
    std::fill_n(slots_.get(), kSlots, 0u);
    next_ = clear_ + 2;
    width_ = alphabetBits_ + 1;
  }

  // A code at the current width; the width grows once the table has outgrown it. The check runs
  // before the entry this code makes is added, which is how GIF decoders count.
  void Emit(std::uint32_t code) {
    Put(code);
    if (next_ >= (1u << width_) && width_ < kMaxCodeBits) ++width_;
  }

  void ClearTable() {
    Put(clear_);
    Reset();
  }

  void Put(std::uint32_t code) { writer_.Put(code, width_); }

  const int alphabetBits_;
  const std::uint32_t clear_;
  std::unique_ptr<std::uint32_t[]> slots_;
  std::uint32_t next_ = 0;
  int width_ = 0;
  CodeWriter writer_;
};

// Appends the bits of `strip` to `out`, which holds `outBits` bits.
void AppendBits(std::vector<std::uint8_t>& out, std::uint64_t& outBits, const BitStream& strip) {
  const unsigned shift = static_cast<unsigned>(outBits % 8);
  const size_t stripBytes = static_cast<size_t>((strip.bits + 7) / 8);
  const size_t base = out.size();  // holds outBits, its last byte partly when shift > 0
  out.resize(base + stripBytes);
  const std::uint8_t* from = strip.bytes.get();
  if (shift == 0) {
    std::memcpy(out.data() + base, from, stripBytes);
  } else {
    std::uint8_t* to = out.data() + base - 1;
    for (size_t i = 0; i < stripBytes; ++i) {
      to[i] = static_cast<std::uint8_t>(to[i] | (from[i] << shift));
      to[i + 1] = static_cast<std::uint8_t>(from[i] >> (8 - shift));
    }
  }
  outBits += strip.bits;
  out.resize(static_cast<size_t>((outBits + 7) / 8));
}

}  // namespace

void CodeWriter::Begin(BitStream& out, size_t count) {
  // At most one code of 12 bits per index, a clear code per table filled (4093 codes at least)
  // and the clear and end codes, plus a word of slack.
  const size_t most = (count + count / 4093 + 4) * kMaxLzwCodeBits / 8 + 16;
  if (out.capacity < most) {
    out.capacity = most;
    out.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(most);
  }
  out.bits = 0;
  at = out.bytes.get();
  accumulator = 0;
  pending = 0;
}

void CodeWriter::Put(std::uint32_t code, int width) {
  accumulator |= std::uint64_t{code} << pending;
  pending += width;
  if (pending >= 32) {
    const auto word = static_cast<std::uint32_t>(accumulator);
    std::memcpy(at, &word, 4);  // little-endian, as x86 stores it
    at += 4;
    accumulator >>= 32;
    pending -= 32;
  }
}

void CodeWriter::End(BitStream& out) {
  out.bits =
      static_cast<std::uint64_t>(at - out.bytes.get()) * 8 + static_cast<std::uint64_t>(pending);
  while (pending > 0) {
    *at++ = static_cast<std::uint8_t>(accumulator);
    accumulator >>= 8;
    pending = pending > 8 ? pending - 8 : 0;
  }
}

std::vector<std::uint8_t> EncodeStrips(size_t count, int threads,
                                       const StripWorkerMaker& makeWorker) {
  std::vector<std::uint8_t> out;
  if (count == 0) return out;
  const size_t strips = (count + kLzwStripLength - 1) / kLzwStripLength;
  std::vector<BitStream> streams(strips);
  std::atomic<size_t> nextStrip{0};
  // Each thread keeps one worker (its string table) for all the strips it takes.
  const size_t wanted = static_cast<size_t>(std::max(threads, 0));
  RunOnThreads(std::min(wanted > 0 ? wanted : ThreadsFor(strips), strips), [&] {
    const StripWorker encode = makeWorker();
    for (size_t s; (s = nextStrip++) < strips;) {
      const size_t begin = s * kLzwStripLength;
      encode({begin, std::min(kLzwStripLength, count - begin), s == 0, s + 1 == strips},
             streams[s]);
    }
  });

  std::uint64_t totalBits = 0;
  for (const auto& stream : streams) totalBits += stream.bits;
  out.reserve(static_cast<size_t>((totalBits + 7) / 8) + 1);
  std::uint64_t bits = 0;
  for (const auto& stream : streams) AppendBits(out, bits, stream);
  return out;
}

std::vector<std::uint8_t> EncodeLzw(const std::uint8_t* indexes, size_t count, int minimumCodeSize,
                                    int threads) {
  return EncodeStrips(count, threads, [&]() -> StripWorker {
    auto encoder = std::make_shared<StripEncoder>(minimumCodeSize);
    return [encoder, indexes](const Strip& strip, BitStream& out) {
      encoder->Encode(indexes + strip.begin, strip.length, strip.first, strip.last, out);
    };
  });
}

}  // namespace tavlo
