#include "image/picture_loader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>

#include "image/metafile.h"

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
  return {QImage(), reason};
}

// The picture as 32-bit RGB; transparent parts are laid over white so that they show, and are
// picked, as what the user sees.
QImage Flatten(const QImage& image) {
  if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_RGB32);
  QImage flat(image.size(), QImage::Format_RGB32);
  flat.fill(Qt::white);
  QPainter painter(&flat);
  painter.drawImage(0, 0, image);
  return flat;
}

PictureResult DecodeWithQt(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  reader.setAutoTransform(false);
  if (!reader.canRead() || !IsAcceptedFormat(reader.format().toLower()))
    return Failure(QStringLiteral("the file is not a picture in a format Tavlo reads"));
  const QSize size = reader.size();
  if (size.isValid() && !PictureSizeAllowed(size.width(), size.height()))
    return Failure(QStringLiteral("the picture is too large (%1 x %2 pixels)")
                       .arg(size.width())
                       .arg(size.height()));
  if (reader.format().toLower() == "jpeg" && !JpegIsComplete(bytes))
    return Failure(QStringLiteral("the JPEG data is cut off or damaged"));
  // Qt refuses on its own to allocate more than this for one decoded image.
  QImageReader::setAllocationLimit(int(kMaxPicturePixels * 4 / (1024 * 1024)) + 1);
  QImage image;
  if (!reader.read(&image) || image.isNull()) return Failure(reader.errorString());
  if (!PictureSizeAllowed(image.width(), image.height()))
    return Failure(QStringLiteral("the picture is too large"));
  return {Flatten(image), {}};
}

}  // namespace

bool PictureSizeAllowed(qint64 width, qint64 height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
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

PictureResult DecodePicture(const QByteArray& bytes) {
  if (bytes.isEmpty()) return Failure(QStringLiteral("the file is empty"));
  QString error;
  if (LooksLikeEmf(bytes)) {
    QImage image = RenderEmf(bytes, &error);
    return image.isNull() ? Failure(error) : PictureResult{Flatten(image), {}};
  }
  if (LooksLikeWmf(bytes)) {
    QImage image = RenderWmf(bytes, &error);
    return image.isNull() ? Failure(error) : PictureResult{Flatten(image), {}};
  }
  return DecodeWithQt(bytes);
}

PictureResult LoadPictureFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return Failure(file.errorString());
  // No picture of the budget's size needs more than this many bytes on disk; a longer file is
  // not read into memory at all.
  constexpr qint64 kMaxFileBytes = kMaxPicturePixels * 4 + 1024 * 1024;
  if (file.size() > kMaxFileBytes) return Failure(QStringLiteral("the file is too large"));
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return Failure(file.errorString());
  return DecodePicture(bytes);
}

}  // namespace tavlo
