#include "picture/gif_frames.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_set>

#include <gif_lib.h>

#include "base/file_signatures.h"
#include "base/thousands.h"

namespace tavlo {
namespace {

struct MemorySource {
  const QByteArray& bytes;
  qsizetype at = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* out, int length) {
  auto* source = static_cast<MemorySource*>(gif->UserData);
  const qsizetype n = std::min<qsizetype>(length, source->bytes.size() - source->at);
  std::memcpy(out, source->bytes.constData() + source->at, size_t(n));
  source->at += n;
  return int(n);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};

// The rows of an interlaced image in the order they are stored: every 8th from 0, every 8th from
// 4, every 4th from 2, every 2nd from 1.
std::vector<int> RowOrder(int height, bool interlaced) {
  std::vector<int> rows;
  rows.reserve(size_t(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) rows.push_back(y);
    return rows;
  }
  const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = starts[pass]; y < height; y += steps[pass]) rows.push_back(y);
  return rows;
}

// The screen as the frames are composed on it: frame k's block of the stacked image.
class Composer {
 public:
  Composer(QImage& frames, int width, int height)
      : frames_(frames), width_(width), height_(height) {}

  // Starts frame k from what frame k - 1 left, after that frame's disposal.
  void Begin(int k) {
    row0_ = k * height_;
    if (k == 0) {
      for (int y = 0; y < height_; ++y) std::fill_n(Row(y), width_, 0u);
      return;
    }
    const qsizetype bytes = qsizetype(width_) * 4;
    for (int y = 0; y < height_; ++y)
      std::memcpy(Row(y), frames_.constScanLine(row0_ - height_ + y), size_t(bytes));
    if (disposal_ == DISPOSE_BACKGROUND)
      for (int y = rect_.top(); y <= rect_.bottom(); ++y)
        std::fill_n(Row(y) + rect_.left(), rect_.width(), 0u);
    if (disposal_ == DISPOSE_PREVIOUS)
      for (int y = rect_.top(); y <= rect_.bottom(); ++y)
        std::memcpy(Row(y) + rect_.left(), saved_.constScanLine(y - rect_.top()),
                    size_t(rect_.width()) * 4);
  }

  // The frame's rectangle (clipped to the screen) and its disposal, for the next frame.
  void Place(const QRect& rect, int disposal) {
    rect_ = rect.intersected(QRect(0, 0, width_, height_));
    disposal_ = rect_.isEmpty() ? DISPOSAL_UNSPECIFIED : disposal;
    if (disposal_ == DISPOSE_PREVIOUS) {
      saved_ = QImage(rect_.size(), QImage::Format_ARGB32);
      for (int y = rect_.top(); y <= rect_.bottom(); ++y)
        std::memcpy(saved_.scanLine(y - rect_.top()), Row(y) + rect_.left(),
                    size_t(rect_.width()) * 4);
    }
  }

  // Draws row y (screen coordinates) of the frame's indexes, starting at screen column left.
  void Draw(int y, int left, const GifByteType* line, int width, const ColorMapObject& map,
            int transparent) {
    if (y < 0 || y >= height_) return;
    QRgb* row = Row(y);
    for (int x = std::max(0, -left); x < width && left + x < width_; ++x) {
      const int index = line[x];
      if (index == transparent) continue;
      if (index >= map.ColorCount) {
        row[left + x] = qRgb(0, 0, 0);
        continue;
      }
      const GifColorType& c = map.Colors[index];
      row[left + x] = qRgb(c.Red, c.Green, c.Blue);
    }
  }

 private:
  QRgb* Row(int y) { return reinterpret_cast<QRgb*>(frames_.scanLine(row0_ + y)); }

  QImage& frames_;
  int width_, height_;
  int row0_ = 0;
  QRect rect_;
  int disposal_ = DISPOSAL_UNSPECIFIED;
  QImage saved_;
};

// Reads one frame's rows onto the screen; false when its data is damaged or cut off.
bool ReadFrame(GifFileType* gif, Composer& composer, int transparent) {
  const GifImageDesc& image = gif->Image;
  const ColorMapObject* map = image.ColorMap ? image.ColorMap : gif->SColorMap;
  if (!map || image.Width <= 0 || image.Height <= 0) return false;
  std::vector<GifByteType> line(size_t(image.Width));
  for (int y : RowOrder(image.Height, image.Interlace)) {
    if (DGifGetLine(gif, line.data(), image.Width) == GIF_ERROR) return false;
    composer.Draw(image.Top + y, image.Left, line.data(), image.Width, *map, transparent);
  }
  return true;
}

// Whether the 11 bytes of an application extension's name are one that carries the loop count.
bool NamesLoopCount(const unsigned char* name) {
  return std::memcmp(name, "NETSCAPE2.0", 11) == 0 || std::memcmp(name, "ANIMEXTS1.0", 11) == 0;
}

// Reads an extension: the graphic control block into `control`, the loop count into `loops`.
bool ReadExtension(GifFileType* gif, GraphicsControlBlock& control, int& loops) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
  bool netscape = false;
  if (block && code == GRAPHICS_EXT_FUNC_CODE) DGifExtensionToGCB(block[0], block + 1, &control);
  if (block && code == APPLICATION_EXT_FUNC_CODE && block[0] == 11)
    netscape = NamesLoopCount(block + 1);
  while (block) {
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
    if (netscape && block && block[0] >= 3 && block[1] == 1) loops = block[2] | (block[3] << 8);
  }
  return true;
}

GifFrames Failed(const QString& error) {
  GifFrames result;
  result.error = error;
  return result;
}

}  // namespace

GifBlocks ScanGifBlocks(const QByteArray& bytes) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
  const qsizetype n = bytes.size();
  GifBlocks found;
  if (n < 13 || !HasGifSignature({bytes.constData(), size_t(n)})) return found;
  qsizetype pos = 13;
  if (data[10] & 0x80) {
    found.globalTable = pos;
    found.globalColors = 2 << (data[10] & 7);
    pos += 3 * qsizetype(found.globalColors);
  }
  const auto skipSubBlocks = [&]() {
    while (pos < n) {
      const int length = data[pos++];
      if (length == 0) return true;
      pos += length;
    }
    return false;
  };
  GifImageBlock next;
  qsizetype start = -1;  // of the image's graphic control block
  while (pos < n) {
    const qsizetype at = pos;
    const unsigned char block = data[pos++];
    if (block == 0x21) {
      // A graphic control block: 0x21 0xF9 4 packed delay(2) transparent 0.
      if (pos + 6 < n && data[pos] == 0xF9 && data[pos + 1] == 4) {
        start = at;
        next.disposal = (data[pos + 2] >> 2) & 7;
        next.delayMs = 10 * (data[pos + 3] | (data[pos + 4] << 8));
        next.transparent = (data[pos + 2] & 1) ? data[pos + 5] : -1;
      }
      // The loop count: 0x21 0xFF 11 "NETSCAPE2.0" (or "ANIMEXTS1.0") 3 1 count(2) 0.
      if (pos + 17 < n && data[pos] == 0xFF && data[pos + 1] == 11 &&
          NamesLoopCount(data + pos + 2) && data[pos + 13] >= 3 && data[pos + 14] == 1)
        found.loops = data[pos + 15] | (data[pos + 16] << 8);
      ++pos;  // label
      if (!skipSubBlocks()) break;
    } else if (block == 0x2C) {
      ++found.images;
      if (pos + 9 > n) break;
      const auto word = [&](qsizetype i) { return data[pos + i] | (data[pos + i + 1] << 8); };
      next.left = word(0);
      next.top = word(2);
      next.width = word(4);
      next.height = word(6);
      const unsigned char packed = data[pos + 8];
      pos += 9;
      if (packed & 0x80) {
        next.localTable = pos;
        next.localColors = 2 << (packed & 7);
        pos += 3 * qsizetype(next.localColors);
      }
      ++pos;  // LZW minimum code size
      if (!skipSubBlocks()) break;
      if (found.images == 1) found.firstImageComplete = true;
      next.bytes = std::min(pos, n) - (start >= 0 ? start : at);
      found.blocks.push_back(next);
      next = {};
      start = -1;
    } else {
      break;
    }
  }
  return found;
}

GifColorTable ColorTableOf(const QByteArray& bytes, const GifBlocks& blocks) {
  GifColorTable table;
  table.local = std::any_of(blocks.blocks.begin(), blocks.blocks.end(),
                            [](const GifImageBlock& b) { return b.localTable >= 0; });
  std::unordered_set<quint32> seen;
  std::vector<quint32> colors;
  // The global table alone is taken as it is, every entry in its place; of several tables, each
  // colour once.
  const auto add = [&](qint64 at, int count) {
    if (at < 0 || at + 3 * qint64(count) > bytes.size()) return;
    const auto* rgb = reinterpret_cast<const unsigned char*>(bytes.constData() + at);
    for (int i = 0; i < count; ++i, rgb += 3) {
      const quint32 color = quint32(rgb[0]) | quint32(rgb[1]) << 8 | quint32(rgb[2]) << 16;
      if (seen.insert(color).second || !table.local) colors.push_back(color);
    }
  };
  if (!table.local || std::any_of(blocks.blocks.begin(), blocks.blocks.end(),
                                  [](const GifImageBlock& b) { return b.localTable < 0; }))
    add(blocks.globalTable, blocks.globalColors);
  for (const GifImageBlock& block : blocks.blocks) add(block.localTable, block.localColors);
  table.count = int(colors.size());
  if (colors.size() <= 256) table.colors = std::move(colors);
  return table;
}

QString AnimationTooLarge(qint64 frames, qint64 width, qint64 height, qint64 maxPixels) {
  return QStringLiteral(
             "the animation is too large: %1 frames of %2 x %3 pixels make %4 pixels, more than "
             "the limit of %5 pixels for all frames together")
      .arg(frames)
      .arg(width)
      .arg(height)
      .arg(QString::fromStdString(WithThousands(std::uint64_t(frames * width * height))))
      .arg(QString::fromStdString(WithThousands(std::uint64_t(maxPixels))));
}

GifFrames DecodeGifFrames(const QByteArray& bytes, qint64 maxPixels) {
  const int images = ScanGifBlocks(bytes).images;
  MemorySource source{bytes};
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, ReadMemory, &error));
  if (!gif || images == 0) return Failed(QStringLiteral("the picture data is cut off or damaged"));
  const int width = gif->SWidth, height = gif->SHeight;
  if (width <= 0 || height <= 0)
    return Failed(QStringLiteral("the picture data is cut off or damaged"));
  if (qint64(images) * width * height > maxPixels)
    return Failed(AnimationTooLarge(images, width, height, maxPixels));
  GifFrames result;
  result.frames = QImage(width, height * images, QImage::Format_ARGB32);
  if (result.frames.isNull()) return Failed(QStringLiteral("there is not enough memory"));
  Composer composer(result.frames, width, height);
  GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
  bool damaged = false, ended = false;
  qint64 decoded = 0;
  while (!damaged && !ended && result.count < images) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) break;
    switch (type) {
      case IMAGE_DESC_RECORD_TYPE: {
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR) {
          damaged = true;
          break;
        }
        const GifImageDesc& image = gif->Image;
        // Frames far larger than the screen could keep the decoder busy for long on a small
        // file; their pixels beyond the screen never show.
        decoded += qint64(image.Width) * image.Height;
        if (decoded > 2 * maxPixels) {
          damaged = true;
          break;
        }
        composer.Begin(result.count);
        composer.Place(QRect(image.Left, image.Top, image.Width, image.Height),
                       control.DisposalMode);
        if (!ReadFrame(gif.get(), composer, control.TransparentColor)) {
          damaged = true;
          break;
        }
        result.delays.push_back(control.DelayTime * 10);
        ++result.count;
        control = {DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
        break;
      }
      case EXTENSION_RECORD_TYPE:
        damaged = !ReadExtension(gif.get(), control, result.loops);
        break;
      case TERMINATE_RECORD_TYPE:
        ended = true;
        break;
      default:
        damaged = true;
    }
  }
  if (result.count == 0) return Failed(QStringLiteral("the picture data is cut off or damaged"));
  if (result.count < images) {
    result.damagedFrame = result.count + 1;
    result.frames = result.frames.copy(0, 0, width, height * result.count);
  }
  return result;
}

}  // namespace tavlo
