#include "image/png_decoder.h"

#include <spng.h>

#include <QColorSpace>
#include <QList>
#include <QPointF>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "image/picture_loader.h"

namespace tavlo {
namespace {

constexpr int kGrey = 0, kColour = 2, kPalette = 3, kGreyAlpha = 4, kColourAlpha = 6;

struct ContextFree {
  void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
using Context = std::unique_ptr<spng_ctx, ContextFree>;

DecodedPng Failure(const QString& reason) {
  return {QImage(), reason};
}

DecodedPng Damaged(int error) {
  return Failure(QStringLiteral("the picture data is cut off or damaged (%1)")
                     .arg(QString::fromLatin1(spng_strerror(error))));
}

// The PNG's tRNS chunk, if it has one.
std::optional<spng_trns> Transparency(spng_ctx* context) {
  spng_trns trns{};
  if (spng_get_trns(context, &trns) != 0) return std::nullopt;
  return trns;
}

// The decoded samples, rows packed one after the other.
struct Samples {
  std::vector<unsigned char> bytes;
  std::size_t rowBytes = 0;
  const unsigned char* Row(int y) const { return bytes.data() + std::size_t(y) * rowBytes; }
};

int DecodeSamples(spng_ctx* context, int format, int flags, int height, Samples& samples) {
  std::size_t size = 0;
  if (const int error = spng_decoded_image_size(context, format, &size)) return error;
  samples.bytes.resize(size);
  samples.rowBytes = size / std::size_t(height);
  return spng_decode_image(context, samples.bytes.data(), size, format, flags);
}

// Sample x of a row of `depth`-bit samples packed from the high bits of each byte (depth <= 8).
int PackedSample(const unsigned char* row, int x, int depth) {
  const int bit = x * depth;
  return (row[bit / 8] >> (8 - depth - bit % 8)) & ((1 << depth) - 1);
}

// Indexed pictures (palette, and grey of low depth or with tRNS): one byte a pixel, the sample.
void FillIndexes(QImage& image, const Samples& samples, int depth) {
  for (int y = 0; y < image.height(); ++y) {
    const unsigned char* row = samples.Row(y);
    uchar* out = image.scanLine(y);
    if (depth == 8)
      std::memcpy(out, row, std::size_t(image.width()));
    else
      for (int x = 0; x < image.width(); ++x) out[x] = uchar(PackedSample(row, x, depth));
  }
}

// 1-bit pictures become Format_Mono, whose bits are the PNG's row bytes as they stand (or
// inverted, for grey, whose table lists white first).
void FillBits(QImage& image, const Samples& samples, bool invert) {
  const std::size_t bytes = std::size_t(image.width() + 7) / 8;
  for (int y = 0; y < image.height(); ++y) {
    const unsigned char* row = samples.Row(y);
    uchar* out = image.scanLine(y);
    for (std::size_t i = 0; i < bytes; ++i) out[i] = invert ? uchar(~row[i]) : row[i];
  }
}

void CopyRows(QImage& image, const Samples& samples) {
  const std::size_t bytes = std::min<std::size_t>(samples.rowBytes, image.bytesPerLine());
  for (int y = 0; y < image.height(); ++y) std::memcpy(image.scanLine(y), samples.Row(y), bytes);
}

QList<QRgb> GreyTable(int depth, const std::optional<spng_trns>& trns) {
  const int count = 1 << depth;
  QList<QRgb> table;
  for (int i = 0; i < count; ++i) {
    const int c = i * 255 / (count - 1);
    table.push_back(qRgba(c, c, c, 0xFF));
  }
  if (trns && trns->gray < count) table[trns->gray] = 0;
  return table;
}

DecodedPng DecodeGrey(spng_ctx* context, const spng_ihdr& ihdr) {
  const int width = int(ihdr.width), height = int(ihdr.height), depth = ihdr.bit_depth;
  const std::optional<spng_trns> trns = Transparency(context);
  Samples samples;
  if (depth == 1) {
    if (const int error = DecodeSamples(context, SPNG_FMT_PNG, 0, height, samples))
      return Damaged(error);
    QImage image(width, height, QImage::Format_Mono);
    if (image.isNull()) return Failure(QStringLiteral("not enough memory for the picture"));
    QList<QRgb> table = {qRgb(255, 255, 255), qRgb(0, 0, 0)};
    if (trns && trns->gray == 0) table[1] = qRgba(0, 0, 0, 0);
    if (trns && trns->gray == 1) table[0] = qRgba(255, 255, 255, 0);
    image.setColorTable(table);
    FillBits(image, samples, true);
    return {image, {}};
  }
  if (depth == 16) {
    const QImage::Format format = trns ? QImage::Format_RGBA64 : QImage::Format_Grayscale16;
    const int samplesFormat = trns ? SPNG_FMT_RGBA16 : SPNG_FMT_PNG;
    if (const int error =
            DecodeSamples(context, samplesFormat, trns ? SPNG_DECODE_TRNS : 0, height, samples))
      return Damaged(error);
    QImage image(width, height, format);
    if (image.isNull()) return Failure(QStringLiteral("not enough memory for the picture"));
    CopyRows(image, samples);
    return {image, {}};
  }
  if (depth == 8 && !trns) {
    if (const int error = DecodeSamples(context, SPNG_FMT_G8, 0, height, samples))
      return Damaged(error);
    QImage image(width, height, QImage::Format_Grayscale8);
    if (image.isNull()) return Failure(QStringLiteral("not enough memory for the picture"));
    CopyRows(image, samples);
    return {image, {}};
  }
  if (const int error = DecodeSamples(context, SPNG_FMT_PNG, 0, height, samples))
    return Damaged(error);
  QImage image(width, height, QImage::Format_Indexed8);
  if (image.isNull()) return Failure(QStringLiteral("not enough memory for the picture"));
  image.setColorTable(GreyTable(depth, trns));
  FillIndexes(image, samples, depth);
  return {image, {}};
}

DecodedPng DecodePalette(spng_ctx* context, const spng_ihdr& ihdr) {
  const int width = int(ihdr.width), height = int(ihdr.height), depth = ihdr.bit_depth;
  spng_plte plte{};
  if (const int error = spng_get_plte(context, &plte)) return Damaged(error);
  const std::optional<spng_trns> trns = Transparency(context);
  Samples samples;
  if (const int error = DecodeSamples(context, SPNG_FMT_PNG, 0, height, samples))
    return Damaged(error);
  const bool mono = depth == 1;
  QImage image(width, height, mono ? QImage::Format_Mono : QImage::Format_Indexed8);
  if (image.isNull()) return Failure(QStringLiteral("not enough memory for the picture"));
  // As many colours as the table has (two for 1-bit pictures, the missing ones transparent
  // black), those that tRNS names with its alpha.
  QList<QRgb> table(mono ? 2 : qsizetype(plte.n_entries), 0);
  for (qsizetype i = 0; i < table.size() && i < qsizetype(plte.n_entries); ++i) {
    const spng_plte_entry& e = plte.entries[i];
    const int alpha = trns && i < qsizetype(trns->n_type3_entries) ? trns->type3_alpha[i] : 0xFF;
    table[i] = qRgba(e.red, e.green, e.blue, alpha);
  }
  image.setColorTable(table);
  if (mono)
    FillBits(image, samples, false);
  else
    FillIndexes(image, samples, depth);
  return {image, {}};
}

// 16-bit grey with alpha and colour: 16 bits a channel.
DecodedPng DecodeDeep(spng_ctx* context, const spng_ihdr& ihdr, bool alpha) {
  Samples samples;
  if (const int error = DecodeSamples(context, SPNG_FMT_RGBA16, 0, int(ihdr.height), samples))
    return Damaged(error);
  QImage image(int(ihdr.width), int(ihdr.height),
               alpha ? QImage::Format_RGBA64 : QImage::Format_RGBX64);
  if (image.isNull()) return Failure(QStringLiteral("not enough memory for the picture"));
  CopyRows(image, samples);
  return {image, {}};
}

// 8-bit colour, and grey with alpha: 0xAARRGGBB a pixel.
DecodedPng DecodeColour(spng_ctx* context, const spng_ihdr& ihdr, bool alpha) {
  const int width = int(ihdr.width), height = int(ihdr.height);
  Samples samples;
  const int format = alpha ? SPNG_FMT_RGBA8 : SPNG_FMT_RGB8;
  if (const int error = DecodeSamples(context, format, SPNG_DECODE_TRNS, height, samples))
    return Damaged(error);
  QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (image.isNull()) return Failure(QStringLiteral("not enough memory for the picture"));
  for (int y = 0; y < height; ++y) {
    const unsigned char* in = samples.Row(y);
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    if (alpha)
      for (int x = 0; x < width; ++x, in += 4) out[x] = qRgba(in[0], in[1], in[2], in[3]);
    else
      for (int x = 0; x < width; ++x, in += 3) out[x] = qRgb(in[0], in[1], in[2]);
  }
  return {image, {}};
}

// The colour space the PNG states, as Qt's reader records it: an ICC profile first, then sRGB,
// then gamma (with the chromaticities, when given). The pixels are not converted.
QColorSpace StatedColourSpace(spng_ctx* context) {
  spng_iccp iccp{};
  if (spng_get_iccp(context, &iccp) == 0) {
    const QColorSpace icc = QColorSpace::fromIccProfile(
        QByteArray::fromRawData(iccp.profile, qsizetype(iccp.profile_len)));
    if (icc.isValid()) return icc;
  }
  std::uint8_t intent = 0;
  if (spng_get_srgb(context, &intent) == 0 && intent <= 3) return QColorSpace::SRgb;
  double gamma = 0;
  if (spng_get_gama(context, &gamma) != 0 || !(gamma > 0)) return {};
  spng_chrm c{};
  if (spng_get_chrm(context, &c) == 0) {
    const QColorSpace stated(QPointF(c.white_point_x, c.white_point_y), QPointF(c.red_x, c.red_y),
                             QPointF(c.green_x, c.green_y), QPointF(c.blue_x, c.blue_y),
                             QColorSpace::TransferFunction::Gamma, float(gamma));
    if (stated.isValid()) return stated;
  }
  return QColorSpace(QColorSpace::Primaries::SRgb, QColorSpace::TransferFunction::Gamma,
                     float(gamma));
}

DecodedPng Decode(spng_ctx* context, const spng_ihdr& ihdr) {
  switch (ihdr.color_type) {
    case kGrey:
      return DecodeGrey(context, ihdr);
    case kPalette:
      return DecodePalette(context, ihdr);
    case kColour:
    case kGreyAlpha:
    case kColourAlpha: {
      const bool trns = Transparency(context).has_value();
      const bool alpha = ihdr.color_type != kColour || trns;
      if (ihdr.bit_depth == 16 && ihdr.color_type == kColour && trns)
        return {QImage(), QString(), true};
      if (ihdr.bit_depth == 16) return DecodeDeep(context, ihdr, alpha);
      return DecodeColour(context, ihdr, alpha);
    }
    default:
      return Damaged(SPNG_ECOLOR_TYPE);
  }
}

}  // namespace

bool LooksLikePng(const QByteArray& bytes) {
  return bytes.startsWith("\x89PNG\r\n\x1a\n");
}

DecodedPng DecodePng(const QByteArray& bytes) {
  const Context context(spng_ctx_new(0));
  if (!context) return Failure(QStringLiteral("not enough memory for the picture"));
  spng_ctx* c = context.get();
  // As libpng reads for Qt: a bad checksum in a chunk the picture needs is an error, one in
  // another chunk drops that chunk. No ancillary chunk may take more memory than a picture.
  spng_set_crc_action(c, SPNG_CRC_ERROR, SPNG_CRC_DISCARD);
  spng_set_chunk_limits(c, std::size_t(kMaxPicturePixels) * 4, std::size_t(kMaxPicturePixels) * 4);
  if (const int error = spng_set_png_buffer(c, bytes.constData(), std::size_t(bytes.size())))
    return Damaged(error);
  spng_ihdr ihdr{};
  if (const int error = spng_get_ihdr(c, &ihdr)) return Damaged(error);
  if (!PictureSizeAllowed(ihdr.width, ihdr.height))
    return Failure(PictureTooLarge(ihdr.width, ihdr.height));
  DecodedPng decoded = Decode(c, ihdr);
  if (!decoded.image.isNull()) decoded.image.setColorSpace(StatedColourSpace(c));
  return decoded;
}

}  // namespace tavlo
