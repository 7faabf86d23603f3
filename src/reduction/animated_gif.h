#pragma once
// The animated GIF of an indexed animation, byte for byte what the export writes and the result
// window measures:
//   "GIF89a", logical screen of one frame's size, the global table as EncodeGif writes it, the
//   loop count (NETSCAPE2.0) when the animation has one;
//   each frame: a graphic control block (its delay in hundredths of a second, rounded; the
//   transparent index of a picture with one; disposal 1, the frame stays under the next, or 2, its
//   rectangle becomes transparent, when the next frame makes clear a pixel this one shows) and one
//   image of the smallest rectangle that holds every pixel whose index differs from what the
//   screen shows before the frame, and those a disposal 2 must clear (the whole first frame; one
//   pixel for a frame that changes nothing), LZW as EncodeGif's. Inside the rectangle of a frame
//   after the first, the pixels the screen already shows may be written as an index the frame
//   names transparent, all of them or those that do not continue the pixel before, whichever way
//   gives the shortest code stream; the index is one no pixel the frame draws has: a padding slot
//   of the table, the picture's transparent index, or the index most of the shown pixels have;
//   the trailer.
// A frame identical to the one before is left out and its delay added to that frame's (a delay
// beyond the 655.35 s one frame holds goes on in frames of one unchanged pixel), so every frame
// plays as long as before. Every frame a decoder composes is exactly the indexed frame, its
// transparent pixels clear.
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "reduction/encoded_picture.h"
#include "reduction/frame_timing.h"
#include "reduction/indexed_picture.h"

namespace tavlo {

// A frame written whole under a loss budget: its indexes and its code stream.
struct WholeFrame {
  std::vector<std::uint8_t> indexes;
  std::vector<std::uint8_t> codes;
};

// What each frame may be written as besides the frame given, under a loss budget
// (animation_budget.h): every way is tried and the shortest written, so the screen the next
// frame is differenced against is the frame as written. Whatever is chosen, a pixel is clear
// exactly where the frame given has it clear.
struct FrameOptions {
  // Frame k (after the first) made into `kept` to keep what `screen` shows where it may; false
  // when it keeps nothing.
  std::function<bool(int k, const std::uint8_t* frame, const std::uint8_t* screen,
                     std::vector<std::uint8_t>& kept)>
      keepShown;
  // Frame k written whole on its own; nullopt when there is no such way.
  std::function<std::optional<WholeFrame>(int k)> whole;
};

// `frames` holds timing.count frames one below the other. `frameBytes`, when given, gets each
// frame's bytes in the file, from its graphic control block to its image's end; `written`, the
// indexes of every frame as written, when `options` lets them differ from `frames`.
EncodedPicture EncodeAnimatedGif(const IndexedPicture& frames, const FrameTiming& timing,
                                 int threads = 0, std::vector<std::int64_t>* frameBytes = nullptr,
                                 const FrameOptions* options = nullptr,
                                 std::vector<std::uint8_t>* written = nullptr);

// What the user is told of frames left out as identical to the one before (each one's delay
// added to that frame's): "3 identical frames merged".
QString MergedFramesText(int merged);

// EncodeAnimatedGif for an animation, EncodeGif for a still picture.
EncodedPicture EncodeGifFrames(const IndexedPicture& picture, const FrameTiming& timing,
                               int threads = 0, std::vector<std::int64_t>* frameBytes = nullptr);

}  // namespace tavlo
