#include "reduction/animated_gif.h"

#include <QRect>
#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "reduction/gif_encoder.h"
#include "reduction/lzw_strips.h"

namespace tavlo {
namespace {

// The smallest rectangle holding every pixel of `frame` that differs from `before` (rows of
// `width` indexes); an empty one when none does.
QRect ChangedRect(const std::uint8_t* before, const std::uint8_t* frame, int width, int height) {
  int top = height, bottom = -1, left = width, right = -1;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* a = before + size_t(y) * size_t(width);
    const std::uint8_t* b = frame + size_t(y) * size_t(width);
    if (std::memcmp(a, b, size_t(width)) == 0) continue;
    top = std::min(top, y);
    bottom = y;
    int x = 0;
    while (a[x] == b[x]) ++x;
    left = std::min(left, x);
    x = width - 1;
    while (a[x] == b[x]) --x;
    right = std::max(right, x);
  }
  return bottom < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

void PutLoopCount(QByteArray& out, int loops) {
  if (loops < 0) return;
  out.append("\x21\xFF\x0B", 3);
  out.append("NETSCAPE2.0", 11);
  out.append("\x03\x01", 2);
  PutLittle16(out, std::min(loops, 0xFFFF));
  out.append('\0');
}

// The smallest rectangle holding every pixel that `frame` shows and `next` makes clear (whose
// index in `next` is `transparent`); an empty one when none is.
QRect ClearedRect(const std::uint8_t* frame, const std::uint8_t* next, int width, int height,
                  std::uint8_t transparent) {
  int top = height, bottom = -1, left = width, right = -1;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* a = frame + size_t(y) * size_t(width);
    const std::uint8_t* b = next + size_t(y) * size_t(width);
    for (int x = 0; x < width; ++x)
      if (b[x] == transparent && a[x] != transparent) {
        top = std::min(top, y);
        bottom = y;
        left = std::min(left, x);
        right = std::max(right, x);
      }
  }
  return bottom < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

constexpr int kKeep = 1;       // disposal: the frame stays under the next
constexpr int kClearRect = 2;  // disposal: the frame's rectangle becomes transparent

void Fill(std::vector<std::uint8_t>& screen, int width, const QRect& rect, std::uint8_t index) {
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    std::fill_n(screen.begin() + std::ptrdiff_t(y) * width + rect.left(), rect.width(), index);
}

// The indexes a frame after the first may name transparent and write for the pixels of `rect` the
// screen already shows, in the order they are tried: a padding slot of the table (`entries` below
// 2^k), which no pixel has; the picture's `clear` index, which only pixels the screen already
// shows clear have; and, of the indexes no pixel to be drawn has, the one most shown pixels have,
// so that they are written the same either way. Empty when the screen shows none of the pixels.
std::vector<int> TransparentCandidates(const std::uint8_t* frame, const std::uint8_t* screen,
                                       int width, const QRect& rect, int entries, int clear) {
  std::array<bool, 256> drawn{};
  std::array<std::uint32_t, 256> shown{};
  bool anyShown = false;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    const size_t row = size_t(y) * size_t(width);
    for (int x = rect.left(); x <= rect.right(); ++x) {
      const std::uint8_t own = frame[row + size_t(x)];
      if (own == screen[row + size_t(x)]) {
        ++shown[own];
        anyShown = true;
      } else {
        drawn[own] = true;
      }
    }
  }
  std::vector<int> candidates;
  if (!anyShown) return candidates;
  if (entries < (1 << GifTableBits(entries))) candidates.push_back(entries);
  if (clear >= 0) candidates.push_back(clear);
  int most = -1;
  for (int i = 0; i < entries; ++i)
    if (!drawn[size_t(i)] && (most < 0 || shown[size_t(i)] > shown[size_t(most)])) most = i;
  if (most >= 0 && most != clear) candidates.push_back(most);
  return candidates;
}

// How a frame's rectangle writes the pixels the screen already shows.
enum class Unchanged {
  kOwn,           // as their own index
  kTransparent,   // as the transparent index, so the screen shows through
  kContinueRuns,  // as their own index where it continues the pixel before, else transparent
};

// The indexes of `rect` of `frame` as `how` writes them; `screen` is what the screen shows
// before the frame, `unchanged` the transparent index written for what it already shows. A
// pixel of the picture's `clear` index is always written as `unchanged`, which is then the one
// index the frame names transparent.
void TakeRect(const std::uint8_t* frame, const std::uint8_t* screen, int width, const QRect& rect,
              Unchanged how, int unchanged, int clear, std::vector<std::uint8_t>& part) {
  part.resize(size_t(rect.width()) * size_t(rect.height()));
  std::uint8_t* out = part.data();
  int before = -1;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    const size_t row = size_t(y) * size_t(width);
    for (int x = rect.left(); x <= rect.right(); ++x, ++out) {
      const std::uint8_t own = frame[row + size_t(x)];
      const bool shown = how != Unchanged::kOwn && own == screen[row + size_t(x)];
      const bool keep = how == Unchanged::kContinueRuns && own == before && own != clear;
      *out = !shown || keep ? own : static_cast<std::uint8_t>(unchanged);
      before = *out;
    }
  }
}

// A frame's rectangle: its code stream, the shortest of the ways of writing the pixels the screen
// already shows, and the transparent index it names (-1: none).
struct FrameCodes {
  std::vector<std::uint8_t> codes;
  int transparent = -1;
};
FrameCodes EncodeFrameRect(const std::uint8_t* frame, const std::uint8_t* screen, int width,
                           const QRect& rect, const std::vector<int>& candidates, int clear,
                           int codeSize, int threads) {
  std::vector<std::uint8_t> part;
  TakeRect(frame, screen, width, rect, Unchanged::kOwn, 0, clear, part);
  FrameCodes best{EncodeLzw(part.data(), part.size(), codeSize, threads), clear};
  for (const int unchanged : candidates)
    for (const Unchanged how : {Unchanged::kTransparent, Unchanged::kContinueRuns}) {
      TakeRect(frame, screen, width, rect, how, unchanged, clear, part);
      std::vector<std::uint8_t> codes = EncodeLzw(part.data(), part.size(), codeSize, threads);
      if (codes.size() < best.codes.size()) best = {std::move(codes), unchanged};
    }
  return best;
}

}  // namespace

EncodedPicture EncodeAnimatedGif(const IndexedPicture& frames, const FrameTiming& timing,
                                 int threads, std::vector<std::int64_t>* frameBytes) {
  EncodedPicture result;
  if (!IsWhole(frames) || timing.count < 1 || frames.height % timing.count != 0) {
    result.error = QStringLiteral("There is no picture to write.");
    return result;
  }
  const int width = frames.width, height = frames.height / timing.count;
  result.error = GifSizeError(width, height);
  if (!result.ok()) return result;
  if (frameBytes) frameBytes->clear();
  try {
    const int codeSize = GifCodeSize(static_cast<int>(frames.table.size()));
    const size_t frameSize = size_t(width) * size_t(height);
    PutGifHeader(result.bytes, "GIF89a", width, height, frames.table);
    PutLoopCount(result.bytes, timing.loops);
    // What a decoder shows before each frame, the transparent index standing for "nothing":
    // nothing before the first.
    const int transparent = frames.transparent;
    std::vector<std::uint8_t> screen(frameSize, std::uint8_t(std::max(transparent, 0)));
    const int entries = static_cast<int>(frames.table.size());
    for (int k = 0; k < timing.count; ++k) {
      const std::uint8_t* frame = frames.indexes.data() + size_t(k) * frameSize;
      QRect rect =
          k == 0 ? QRect(0, 0, width, height) : ChangedRect(screen.data(), frame, width, height);
      // A pixel this frame shows and the next makes clear can only be cleared by this frame's
      // disposal, which clears its whole rectangle; the next frame then draws the rest again.
      int disposal = kKeep;
      if (transparent >= 0 && k + 1 < timing.count) {
        const QRect cleared =
            ClearedRect(frame, frame + frameSize, width, height, std::uint8_t(transparent));
        if (!cleared.isEmpty()) {
          disposal = kClearRect;
          rect |= cleared;
        }
      }
      if (rect.isEmpty()) rect = QRect(0, 0, 1, 1);
      const std::vector<int> candidates =
          k == 0 ? std::vector<int>{}
                 : TransparentCandidates(frame, screen.data(), width, rect, entries, transparent);
      const FrameCodes written = EncodeFrameRect(frame, screen.data(), width, rect, candidates,
                                                 transparent, codeSize, threads);
      const int delayMs = k < int(timing.delays.size()) ? timing.delays[size_t(k)] : 0;
      const qsizetype frameStart = result.bytes.size();
      PutGraphicControl(result.bytes, disposal, std::clamp((delayMs + 5) / 10, 0, 0xFFFF),
                        written.transparent);
      PutGifImage(result.bytes, rect.left(), rect.top(), rect.width(), rect.height(), codeSize,
                  written.codes);
      if (frameBytes) frameBytes->push_back(result.bytes.size() - frameStart);
      std::copy_n(frame, frameSize, screen.begin());
      if (disposal == kClearRect) Fill(screen, width, rect, std::uint8_t(transparent));
    }
    result.bytes.append(';');
  } catch (const std::bad_alloc&) {
    result.bytes.clear();
    result.error = QStringLiteral("There is not enough memory to encode the GIF.");
  }
  return result;
}

EncodedPicture EncodeGifFrames(const IndexedPicture& picture, const FrameTiming& timing,
                               int threads, std::vector<std::int64_t>* frameBytes) {
  return timing.Animated() ? EncodeAnimatedGif(picture, timing, threads, frameBytes)
                           : EncodeGif(picture, threads);
}

}  // namespace tavlo
