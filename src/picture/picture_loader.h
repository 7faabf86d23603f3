#pragma once
// Reading a picture file for the picture area. The format is decided from the file's content,
// never from its name: PNGs through the decoder of png_decoder.h (photos by its own code, every
// other kind through libpng; of an animated PNG, its default picture), animated GIFs frame by
// frame through giflib (gif_frames.h), animated WebP frame by frame through Qt's reader, JPEG,
// GIF, BMP (also run-length encoded), ICO, WebP, TIFF, TGA through Qt's readers (the first frame
// of any other animation), and Windows metafiles (WMF, EMF) rendered at their natural size. Sizes
// are checked before anything is decoded, so no file can make the program allocate more than the
// budget below.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include "picture/animation.h"
#include "picture/gif_frames.h"

namespace tavlo {

// The largest picture taken: each side at most kMaxPictureSide pixels and at most
// kMaxPicturePixels pixels in all (256 MiB at 4 bytes a pixel). The frames of an animation are
// held together within the same number of pixels.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr qint64 kMaxPicturePixels = 64LL * 1024 * 1024;

// What loading left out of a picture file: the frames of an animation after the first that only
// the first is used of, and the frames after a damaged one.
struct LoadingLosses {
  int frames = 1;        // of an animation whose first frame only is used
  int damagedFrame = 0;  // 1-based; the frames before it are loaded
  // "only the first of 24 frames is used", or empty.
  QString Text() const;
};

// The picture, or a null image and the reason. A picture with pixels that are not fully opaque
// keeps its alpha (32-bit ARGB, not premultiplied); any other is 32-bit RGB. Metafiles are laid
// over white, as they have no alpha of their own.
struct PictureResult {
  QImage image;
  QString error;
  LoadingLosses losses;
  Animation animation;       // every frame of an animated GIF or WebP; none for other pictures
  GifColorTable colorTable{};  // of a GIF: the colours its frames are drawn from
  // On failure: the content is in no picture format the loader reads (or holds no picture), as
  // opposed to a picture that is damaged, too large or cannot be read.
  bool notAPicture = false;
  bool ok() const { return !image.isNull(); }
};

// True when a picture of this size is within the budget above.
bool PictureSizeAllowed(qint64 width, qint64 height);

// The message for a picture PictureSizeAllowed refuses.
QString PictureTooLarge(qint64 width, qint64 height);

// Whether any pixel of the picture is not fully opaque.
bool HasTranslucentPixels(const QImage& picture);

// The picture as it is shown and picked from: 32-bit RGB, its transparent parts laid over white.
QImage LaidOverWhite(const QImage& picture);

// The file-name endings of every format the loader reads, as open-dialog patterns ("*.jpg",
// "*.jpeg", ...). The loader itself goes by content, not by name.
QStringList PicturePatterns();

// The directory part of a full path, up to and including its last '/'; the path itself when it
// has none. Dropped files remember their directory through it.
QString ExtractPath(const QString& path);

PictureResult DecodePicture(const QByteArray& bytes);
PictureResult LoadPictureFile(const QString& path);

// True when a JPEG stream runs through its last scan to the end-of-image marker. Qt's reader
// quietly fills the missing part of a cut-off JPEG with grey; such a file is refused instead.
bool JpegIsComplete(const QByteArray& bytes);
// The same for the other formats whose readers show what they got of a cut-off file: a GIF must
// hold its first image's data up to the block terminator, a BMP all its rows (uncompressed) or
// its end-of-bitmap code (run-length encoded).
bool GifFirstImageIsComplete(const QByteArray& bytes);
bool BmpIsComplete(const QByteArray& bytes);
}  // namespace tavlo
