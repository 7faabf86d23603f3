#include "reduction/animated_gif.h"

#include <QRect>
#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <optional>

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

// The longest delay one frame of a GIF can have: 655.35 s, in hundredths.
constexpr int kMaxDelay = 0xFFFF;

// The number of frames after frame k that are identical to it, of `count` frames of `size`
// indexes each.
int IdenticalAfter(const std::uint8_t* frames, size_t size, int k, int count) {
  int run = 0;
  const std::uint8_t* frame = frames + size_t(k) * size;
  while (k + run + 1 < count && std::memcmp(frame, frame + size_t(run + 1) * size, size) == 0)
    ++run;
  return run;
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

// How frame k is written: its indexes, rectangle, disposal and code stream.
struct FrameWrite {
  const std::uint8_t* indexes = nullptr;
  QRect rect;
  int disposal = kKeep;
  FrameCodes codes;
};

// The frames of an animation written one by one against what the screen shows before each.
class FrameWriter {
 public:
  FrameWriter(const IndexedPicture& frames, const FrameTiming& timing, int threads)
      : width_(frames.width),
        height_(frames.height / timing.count),
        frameSize_(size_t(width_) * size_t(height_)),
        entries_(static_cast<int>(frames.table.size())),
        clear_(frames.transparent),
        codeSize_(GifCodeSize(entries_)),
        threads_(threads),
        // Nothing before the first frame: the transparent index standing for "nothing".
        screen_(frameSize_, std::uint8_t(std::max(clear_, 0))) {}

  size_t FrameSize() const { return frameSize_; }
  // Whether `next` makes clear a pixel that `frame` shows.
  bool Clears(const std::uint8_t* frame, const std::uint8_t* next) const {
    return clear_ >= 0 && next &&
           !ClearedRect(frame, next, width_, height_, std::uint8_t(clear_)).isEmpty();
  }
  const std::uint8_t* Screen() const { return screen_.data(); }

  // Frame k as `frame` (its pixels) against the screen; `next`, the next frame as given, or
  // null for the last: its clear pixels, the same whatever it is written as, set the disposal.
  FrameWrite Differenced(int k, const std::uint8_t* frame, const std::uint8_t* next) const {
    FrameWrite write;
    write.indexes = frame;
    write.rect =
        k == 0 ? QRect(0, 0, width_, height_) : ChangedRect(screen_.data(), frame, width_, height_);
    // A pixel this frame shows and the next makes clear can only be cleared by this frame's
    // disposal, which clears its whole rectangle; the next frame then draws the rest again.
    if (clear_ >= 0 && next) {
      const QRect cleared = ClearedRect(frame, next, width_, height_, std::uint8_t(clear_));
      if (!cleared.isEmpty()) {
        write.disposal = kClearRect;
        write.rect |= cleared;
      }
    }
    if (write.rect.isEmpty()) write.rect = QRect(0, 0, 1, 1);
    const std::vector<int> candidates =
        k == 0 ? std::vector<int>{}
               : TransparentCandidates(frame, screen_.data(), width_, write.rect, entries_, clear_);
    write.codes = EncodeFrameRect(frame, screen_.data(), width_, write.rect, candidates, clear_,
                                  codeSize_, threads_);
    return write;
  }

  // A frame written whole from its own code stream, with the disposal `like` has.
  FrameWrite Whole(const WholeFrame& whole, const FrameWrite& like) const {
    return {whole.indexes.data(), QRect(0, 0, width_, height_), like.disposal,
            FrameCodes{whole.codes, clear_}};
  }

  // Appends the frame to `out`, shown for `delay` hundredths of a second (at most kMaxDelay),
  // and brings the screen up to date.
  void Put(const FrameWrite& write, int delay, QByteArray& out) {
    PutGraphicControl(out, write.disposal, delay, write.codes.transparent);
    PutGifImage(out, write.rect.left(), write.rect.top(), write.rect.width(), write.rect.height(),
                codeSize_, write.codes.codes);
    std::copy_n(write.indexes, frameSize_, screen_.begin());
    if (write.disposal == kClearRect) Fill(screen_, width_, write.rect, std::uint8_t(clear_));
  }

 private:
  int width_, height_;
  size_t frameSize_;
  int entries_, clear_, codeSize_, threads_;
  std::vector<std::uint8_t> screen_;
};

// The shorter of two ways of writing a frame.
const FrameWrite& Shorter(const FrameWrite& a, const FrameWrite& b) {
  return b.codes.codes.size() < a.codes.codes.size() ? b : a;
}

}  // namespace

EncodedPicture EncodeAnimatedGif(const IndexedPicture& frames, const FrameTiming& timing,
                                 int threads, std::vector<std::int64_t>* frameBytes,
                                 const FrameOptions* options, std::vector<std::uint8_t>* written) {
  EncodedPicture result;
  if (!IsWhole(frames) || timing.count < 1 || frames.height % timing.count != 0) {
    result.error = QStringLiteral("There is no picture to write.");
    return result;
  }
  result.error = GifSizeError(frames.width, frames.height / timing.count);
  if (!result.ok()) return result;
  if (frameBytes) frameBytes->clear();
  try {
    FrameWriter writer(frames, timing, threads);
    const size_t frameSize = writer.FrameSize();
    PutGifHeader(result.bytes, "GIF89a", frames.width, frames.height / timing.count, frames.table);
    PutLoopCount(result.bytes, timing.loops);
    if (written) written->resize(frames.indexes.size());
    std::vector<std::uint8_t> kept;
    const auto delayOf = [&](int k) {
      return k < int(timing.delays.size()) ? std::max(timing.delays[size_t(k)], 0) : 0;
    };
    // Frames identical to the one before are left out and their delays added to it, so the
    // animation plays as before; a delay beyond what one frame holds goes on in frames that
    // change nothing.
    for (int k = 0; k < timing.count;) {
      int run = IdenticalAfter(frames.indexes.data(), frameSize, k, timing.count);
      const std::uint8_t* frame = frames.indexes.data() + size_t(k) * frameSize;
      const std::uint8_t* next =
          k + run + 1 < timing.count ? frame + size_t(run + 1) * frameSize : nullptr;
      // A frame whose pixels the next one makes clear must clear its whole rectangle; the last of
      // its copies, written as one pixel and what is cleared, clears far less: it stays.
      if (run > 0 && writer.Clears(frame, next)) next = frame + size_t(run--) * frameSize;
      FrameWrite best = writer.Differenced(k, frame, next);
      if (options && options->keepShown && k > 0 &&
          options->keepShown(k, frame, writer.Screen(), kept))
        best = Shorter(best, writer.Differenced(k, kept.data(), next));
      std::optional<WholeFrame> whole;
      // A frame that changes less than half its area is never written whole.
      const bool large = 2 * size_t(best.rect.width()) * size_t(best.rect.height()) >= frameSize;
      if (options && options->whole && large && (whole = options->whole(k)))
        best = Shorter(best, writer.Whole(*whole, best));
      qint64 delayMs = 0;
      for (int m = k; m <= k + run; ++m) {
        if (written)
          std::copy_n(best.indexes, frameSize, written->begin() + std::ptrdiff_t(m) * frameSize);
        delayMs += delayOf(m);
      }
      qint64 delay = (delayMs + 5) / 10;
      const qsizetype frameStart = result.bytes.size();
      writer.Put(best, int(std::min<qint64>(delay, kMaxDelay)), result.bytes);
      for (delay -= kMaxDelay; delay > 0; delay -= kMaxDelay)
        writer.Put(writer.Differenced(k + 1, best.indexes, next),
                   int(std::min<qint64>(delay, kMaxDelay)), result.bytes);
      if (frameBytes) {
        frameBytes->push_back(result.bytes.size() - frameStart);
        frameBytes->insert(frameBytes->end(), size_t(run), 0);
      }
      result.mergedFrames += run;
      k += run + 1;
    }
    result.bytes.append(';');
  } catch (const std::bad_alloc&) {
    result.bytes.clear();
    result.error = QStringLiteral("There is not enough memory to encode the GIF.");
  }
  return result;
}

QString MergedFramesText(int merged) {
  return merged == 1 ? QStringLiteral("1 identical frame merged")
                     : QStringLiteral("%1 identical frames merged").arg(merged);
}

EncodedPicture EncodeGifFrames(const IndexedPicture& picture, const FrameTiming& timing,
                               int threads, std::vector<std::int64_t>* frameBytes) {
  return timing.Animated() ? EncodeAnimatedGif(picture, timing, threads, frameBytes)
                           : EncodeGif(picture, threads);
}

}  // namespace tavlo
