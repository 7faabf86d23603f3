#pragma once
// Every frame of an animated GIF, decoded by giflib and composed as a viewer shows it: each frame
// drawn over what the frames before it left, its transparent index letting that show through,
// and each frame's disposal method applied before the next is drawn (1 and unspecified: it
// stays; 2: its rectangle becomes transparent, as browsers do it; 3: its rectangle returns to what
// it was before the frame). The area no frame has drawn yet is transparent.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

namespace tavlo {

struct GifFrames {
  QImage frames;            // Format_ARGB32, one frame below the other; null on failure
  int count = 0;            // frames decoded
  std::vector<int> delays;  // milliseconds
  int loops = -1;           // the loop count of the file's NETSCAPE2.0 block; -1 without one
  QString error;            // why nothing could be decoded
  // When a frame after the first is damaged or cut off: its number (1-based); the frames before
  // it are kept. 0 when every frame decoded.
  int damagedFrame = 0;
};

// What a walk through a GIF's blocks finds: the number of images, counting one whose data is
// cut off, and whether the first image's data runs to its block terminator. Nothing for bytes that
// are no GIF.
// A GIF is "GIF87a" or "GIF89a", the logical screen (width, height, packed fields at offset 10,
// background, aspect), the global table when packed bit 7 is set (3 * 2^(bits 0-2 + 1) bytes),
// then blocks: 0x21 extensions (label, sub-blocks), 0x2C images (9-byte descriptor whose last
// byte flags a local table like the global one, the LZW code size, sub-blocks), 0x3B trailer.
// Sub-blocks are a length byte and that many bytes, ended by a zero length.
struct GifImageBlock {
  int left = 0, top = 0, width = 0, height = 0;
  int disposal = 0;  // of its graphic control block; 0 without one
  int delayMs = 0;
  int transparent = -1;    // the transparent index; -1 for none
  qint64 bytes = 0;        // from its graphic control block (or descriptor) to its terminator
  qint64 localTable = -1;  // the offset of its own colour table; -1 without one
  int localColors = 0;
};
struct GifBlocks {
  qint64 globalTable = -1;  // the offset of the global colour table; -1 without one
  int globalColors = 0;
  int images = 0;
  bool firstImageComplete = false;
  int loops = -1;                     // of a NETSCAPE2.0 block; -1 without one
  std::vector<GifImageBlock> blocks;  // of each image whose data is whole
};
GifBlocks ScanGifBlocks(const QByteArray& bytes);

// The colours a GIF's frames are drawn from (0x00BBGGRR): the global table as it is, entry by
// entry, when no frame carries its own; otherwise the global table's (for the frames without
// their own) and the frames' tables', each distinct colour once, in the order they first come.
// `colors` is empty when they are more than 256; `count` says how many.
struct GifColorTable {
  std::vector<quint32> colors;
  int count = 0;
  bool local = false;  // some frame carries its own table
};
GifColorTable ColorTableOf(const QByteArray& bytes, const GifBlocks& blocks);

// Decodes every frame, refusing, before any frame is decoded, an animation whose frames would
// hold more than `maxPixels` pixels together.
GifFrames DecodeGifFrames(const QByteArray& bytes, qint64 maxPixels);

// The refusal for an animation of `frames` frames of width x height over `maxPixels`.
QString AnimationTooLarge(qint64 frames, qint64 width, qint64 height, qint64 maxPixels);

}  // namespace tavlo
