#include "picture/picture_loader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>
#include <algorithm>

#include "base/color_value.h"
#include "base/file_signatures.h"
#include "picture/decoder_messages.h"
#include "picture/gif_frames.h"
#include "picture/metafile.h"
#include "picture/png_decoder.h"

namespace tavlo {
namespace {

// Formats taken from Qt's readers. Anything else Qt might guess from the content (text-based
// formats such as XPM or XBM in particular) is no picture for this program.
bool IsAcceptedFormat(const QByteArray& format) {
  static const QByteArray kAccepted[] = {"jpeg", "jpg",  "gif",  "bmp", "ico",
                                         "png",  "webp", "tiff", "tif", "tga"};
  for (const QByteArray& accepted : kAccepted)
    if (format == accepted) return true;
  return false;
}

PictureResult Failure(const QString& reason) {
  return {QImage(), reason, {}, {}};
}

PictureResult NotAPicture(const QString& reason) {
  PictureResult result = Failure(reason);
  result.notAPicture = true;
  return result;
}

// The picture as it is kept: 32-bit ARGB when some pixel is not opaque, 32-bit RGB otherwise.
QImage Kept(const QImage& image) {
  if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_RGB32);
  QImage argb = image.convertToFormat(QImage::Format_ARGB32);
  return HasTranslucentPixels(argb) ? argb : argb.convertToFormat(QImage::Format_RGB32);
}

// The reader's reason, with what the library under it said.
QString ReaderFailure(const QString& reason, const DecoderMessages& said) {
  return said.Text().isEmpty() ? reason
                               : reason + QStringLiteral(" (") + said.Text() + QLatin1Char(')');
}

// How an animation's loops read: Qt counts the repeats, -1 for ever, and 0 for a single play,
// which the animation keeps as no loop count at all.
int LoopsFromQt(int loopCount) {
  return loopCount < 0 ? 0 : loopCount == 0 ? -1 : loopCount;
}

// Every frame Qt's reader gives of an animation (animated WebP), composed by the reader as a
// viewer shows it and kept one below the other; `first` is the frame already read. A frame that
// fails to read ends the animation there, and is named.
PictureResult ReadFramesWithQt(QImageReader& reader, const QImage& first) {
  const int count = reader.imageCount();
  const qint64 width = first.width(), height = first.height();
  if (qint64(count) * width * height > kMaxPicturePixels)
    return Failure(AnimationTooLarge(count, width, height, kMaxPicturePixels));
  QImage frames(int(width), int(height * count), QImage::Format_ARGB32);
  PictureResult result;
  Animation& animation = result.animation;
  QImage frame = first;
  while (true) {
    frame = frame.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
      std::copy_n(frame.constScanLine(y), width * 4,
                  frames.scanLine(int(animation.count * height) + y));
    animation.delays.push_back(std::max(0, reader.nextImageDelay()));
    if (++animation.count == count) break;
    if (!reader.read(&frame) || frame.size() != first.size()) {
      result.losses.damagedFrame = animation.count + 1;
      frames = frames.copy(0, 0, int(width), int(height * animation.count));
      break;
    }
  }
  if (!HasTranslucentPixels(frames)) frames.reinterpretAsFormat(QImage::Format_RGB32);
  animation.frames = std::move(frames);
  animation.loops = LoopsFromQt(reader.loopCount());
  result.image = animation.Frame(0);
  if (!animation.Animated()) animation = {};
  return result;
}

PictureResult DecodeWithQt(const QByteArray& bytes) {
  const DecoderMessages said;
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  reader.setAutoTransform(false);
  const bool readable = reader.canRead();
  const QByteArray format = reader.format().toLower();
  if (!readable || !IsAcceptedFormat(format))
    return NotAPicture(QStringLiteral("the file is not a picture in a format Tavlo reads"));
  const QSize size = reader.size();
  if (size.isValid() && !PictureSizeAllowed(size.width(), size.height()))
    return Failure(PictureTooLarge(size.width(), size.height()));
  if ((format == "jpeg" && !JpegIsComplete(bytes)) ||
      (format == "gif" && !GifFirstImageIsComplete(bytes)) ||
      (format == "bmp" && !BmpIsComplete(bytes)))
    return Failure(QStringLiteral("the picture data is cut off or damaged"));
  // Qt refuses on its own to allocate more than this for one decoded image.
  QImageReader::setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
  QImage image;
  if (!reader.read(&image) || image.isNull())
    return Failure(ReaderFailure(reader.errorString(), said));
  if (!PictureSizeAllowed(image.width(), image.height()))
    return Failure(QStringLiteral("the picture is too large"));
  if (format == "webp" && reader.supportsAnimation() && reader.imageCount() > 1)
    return ReadFramesWithQt(reader, image);
  PictureResult result{Kept(image), {}, {}, {}};
  if (reader.supportsAnimation()) result.losses.frames = std::max(1, reader.imageCount());
  return result;
}

PictureResult DecodeAnimatedGif(const QByteArray& bytes) {
  GifFrames gif = DecodeGifFrames(bytes, kMaxPicturePixels);
  if (gif.frames.isNull()) return Failure(gif.error);
  const int height = gif.frames.height() / gif.count;
  if (!PictureSizeAllowed(gif.frames.width(), height))
    return Failure(PictureTooLarge(gif.frames.width(), height));
  // Kept as a still picture is, without a second copy of the frames: 32-bit RGB when every
  // pixel of every frame is opaque.
  if (!HasTranslucentPixels(gif.frames)) gif.frames.reinterpretAsFormat(QImage::Format_RGB32);
  PictureResult result;
  result.losses.damagedFrame = gif.damagedFrame;
  result.animation = {std::move(gif.frames), gif.count, std::move(gif.delays), gif.loops};
  result.image = result.animation.Frame(0);
  if (!result.animation.Animated()) result.animation = {};
  return result;
}

}  // namespace

bool HasTranslucentPixels(const QImage& picture) {
  if (!picture.hasAlphaChannel()) return false;
  const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < argb.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    for (int x = 0; x < argb.width(); ++x)
      if (qAlpha(row[x]) != 255) return true;
  }
  return false;
}

QImage LaidOverWhite(const QImage& picture) {
  if (!picture.hasAlphaChannel()) return picture.convertToFormat(QImage::Format_RGB32);
  // By the reduction's own rule, so that a white matte gives exactly what is shown.
  QImage flat = picture.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < flat.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(flat.scanLine(y));
    for (int x = 0; x < flat.width(); ++x) row[x] = ToRgbPixel(OverMatte(row[x], kWhiteColor));
  }
  return flat.convertToFormat(QImage::Format_RGB32);
}

QString LoadingLosses::Text() const {
  QStringList lost;
  if (frames > 1) lost << QStringLiteral("only the first of %1 frames is used").arg(frames);
  if (damagedFrame > 1)
    lost << QStringLiteral("frame %1 is damaged or cut off; the frames before it are loaded")
                .arg(damagedFrame);
  return lost.join(QStringLiteral("; "));
}

QStringList PicturePatterns() {
  return {QStringLiteral("*.jpg"),  QStringLiteral("*.jpeg"), QStringLiteral("*.jpe"),
          QStringLiteral("*.jfif"), QStringLiteral("*.gif"),  QStringLiteral("*.bmp"),
          QStringLiteral("*.dib"),  QStringLiteral("*.rle"),  QStringLiteral("*.wmf"),
          QStringLiteral("*.emf"),  QStringLiteral("*.ico"),  QStringLiteral("*.png"),
          QStringLiteral("*.webp"), QStringLiteral("*.tif"),  QStringLiteral("*.tiff"),
          QStringLiteral("*.tga")};
}

QString ExtractPath(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? path : path.left(slash + 1);
}

bool PictureSizeAllowed(qint64 width, qint64 height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

QString PictureTooLarge(qint64 width, qint64 height) {
  return QStringLiteral("the picture is too large (%1 x %2 pixels)").arg(width).arg(height);
}

// A JPEG stream is a sequence of marker segments (0xFF, code, two-byte big-endian length that
// counts itself) from SOI (FFD8) to EOI (FFD9). Each SOS segment (FFDA) is followed by
// entropy-coded data in which 0xFF is escaped as FF00 and restart markers FFD0..FFD7 may appear;
// any other marker ends the scan. Segments such as APP1 are skipped whole by their length, so a
// thumbnail's EOI inside them does not count.
bool JpegIsComplete(const QByteArray& bytes) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
  const qsizetype n = bytes.size();
  if (n < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
  qsizetype pos = 2;
  while (pos < n) {
    if (data[pos] != 0xFF) return false;
    while (pos < n && data[pos] == 0xFF) ++pos;  // fill bytes
    if (pos >= n) return false;
    const unsigned char marker = data[pos++];
    if (marker == 0xD9) return true;
    if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) continue;
    if (pos + 2 > n) return false;
    const int length = (data[pos] << 8) | data[pos + 1];
    if (length < 2) return false;
    pos += length;
    if (marker != 0xDA) continue;
    // Entropy-coded data up to the next marker that is not a stuffed byte or a restart.
    while (true) {
      if (pos + 1 >= n) return false;
      if (data[pos] == 0xFF) {
        const unsigned char next = data[pos + 1];
        if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
          pos += 2;
          continue;
        }
        if (next == 0xFF) {
          ++pos;
          continue;
        }
        break;
      }
      ++pos;
    }
  }
  return false;
}

bool GifFirstImageIsComplete(const QByteArray& bytes) {
  return ScanGifBlocks(bytes).firstImageComplete;
}

// BMP: file header (offset of the pixels at 10), then the info header whose size is at 14:
// 12 bytes (16-bit width and height at 18 and 20, bits per pixel at 24) or 40 and more (32-bit
// width and height at 18 and 22, bits per pixel at 28, compression at 30). Uncompressed rows
// (compression 0, or 3 and 6 with bit masks) are padded to 4 bytes. Run-length data (1: 8 bits,
// 2: 4 bits) is pairs: a run (count > 0, value), or 0 and an escape: 0 end of line,
// 1 end of bitmap, 2 a move by two more bytes, else that many literal pixels padded to 2 bytes.
bool BmpIsComplete(const QByteArray& bytes) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
  const qsizetype n = bytes.size();
  if (n < 26) return false;
  const quint32 offset = qFromLittleEndian<quint32>(data + 10);
  const quint32 infoSize = qFromLittleEndian<quint32>(data + 14);
  qint64 width = 0;
  qint64 height = 0;
  int bits = 0;
  quint32 compression = 0;
  if (infoSize == 12) {
    width = qFromLittleEndian<quint16>(data + 18);
    height = qFromLittleEndian<quint16>(data + 20);
    bits = qFromLittleEndian<quint16>(data + 24);
  } else {
    if (n < 34) return false;
    width = qFromLittleEndian<qint32>(data + 18);
    height = qAbs(qint64(qFromLittleEndian<qint32>(data + 22)));
    bits = qFromLittleEndian<quint16>(data + 28);
    compression = qFromLittleEndian<quint32>(data + 30);
  }
  if (offset == 0 || offset >= n) return false;
  if (compression == 0 || compression == 3 || compression == 6) {
    const qint64 rowBytes = ((width * bits + 31) / 32) * 4;
    // Divided rather than multiplied: the header's width and height can be anything.
    return rowBytes <= 0 || height <= (n - offset) / rowBytes;
  }
  if (compression != 1 && compression != 2) return true;  // embedded JPEG or PNG: Qt decides
  qsizetype pos = offset;
  while (pos + 1 < n) {
    const int count = data[pos];
    const int code = data[pos + 1];
    pos += 2;
    if (count > 0) continue;
    if (code == 1) return true;
    if (code == 0) continue;
    if (code == 2) {
      pos += 2;
      continue;
    }
    const qsizetype literal = compression == 1 ? code : (code + 1) / 2;
    pos += literal + (literal & 1);
  }
  return false;
}

namespace {

// `blocks`: the walk through the bytes as a GIF's (nothing for another format).
PictureResult DecodeByContent(const QByteArray& bytes, const GifBlocks& blocks) {
  if (bytes.isEmpty()) return NotAPicture(QStringLiteral("the file is empty"));
  QString error;
  if (LooksLikeEmf(bytes)) {
    QImage image = RenderEmf(bytes, &error);
    return image.isNull() ? Failure(error) : PictureResult{LaidOverWhite(image), {}, {}, {}};
  }
  if (LooksLikeWmf(bytes)) {
    QImage image = RenderWmf(bytes, &error);
    return image.isNull() ? Failure(error) : PictureResult{LaidOverWhite(image), {}, {}, {}};
  }
  if (HasPngSignature({bytes.constData(), size_t(bytes.size())})) {
    const DecodedPng png = DecodePng(bytes);
    return png.image.isNull() ? Failure(png.error) : PictureResult{Kept(png.image), {}, {}, {}};
  }
  const int gifImages = blocks.images;
  if (gifImages > 1) return DecodeAnimatedGif(bytes);
  // A GIF of a colour table alone is a palette file.
  if (gifImages == 0 && HasGifSignature({bytes.constData(), size_t(bytes.size())}))
    return NotAPicture(QStringLiteral("the GIF holds no picture"));
  return DecodeWithQt(bytes);
}

}  // namespace

PictureResult DecodePicture(const QByteArray& bytes) {
  const GifBlocks blocks = ScanGifBlocks(bytes);
  PictureResult result = DecodeByContent(bytes, blocks);
  if (result.ok() && HasGifSignature({bytes.constData(), size_t(bytes.size())}))
    result.colorTable = ColorTableOf(bytes, blocks);
  return result;
}

PictureResult LoadPictureFile(const QString& path) {
  // Devices and pipes could be read for ever; only plain files are pictures.
  if (!QFileInfo(path).isFile()) return Failure(QStringLiteral("it is not a plain file"));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return Failure(file.errorString());
  // No picture of the budget's size needs more than this many bytes on disk; a longer file is
  // not read into memory at all.
  constexpr qint64 kMaxFileBytes = kMaxPicturePixels * 4 + 1024 * 1024;
  if (file.size() > kMaxFileBytes) return Failure(QStringLiteral("the file is too large"));
  const QByteArray bytes = file.read(kMaxFileBytes + 1);
  if (file.error() != QFileDevice::NoError) return Failure(file.errorString());
  return DecodePicture(bytes);
}

}  // namespace tavlo
