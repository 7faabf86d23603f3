#include "picture/png_decoder.h"

#include <libdeflate.h>
#include <zlib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <QColorSpace>
#include <QPointF>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "base/file_signatures.h"
#include "picture/libpng_reader.h"
#include "picture/picture_loader.h"

namespace tavlo {
namespace {

constexpr int kColor = 2, kColorAlpha = 6;

unsigned char Byte(int value) {
  return static_cast<unsigned char>(value);
}

std::uint32_t BigEndian32(const unsigned char* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

DecodedPng Failure(const QString& reason) {
  return {QImage(), reason};
}

DecodedPng Damaged(const char* what) {
  return Failure(
      QStringLiteral("the picture data is cut off or damaged (%1)").arg(QString::fromLatin1(what)));
}

struct Chunk {
  QByteArray type;
  const unsigned char* data = nullptr;
  std::uint32_t length = 0;
  bool sound = false;  // its checksum holds
  bool Critical() const { return (type[0] & 0x20) == 0; }
};

// The chunks of a PNG one after the other, from the first after the signature.
class Chunks {
 public:
  explicit Chunks(const QByteArray& bytes)
      : data_(reinterpret_cast<const unsigned char*>(bytes.constData())),
        size_(std::size_t(bytes.size())) {}

  // False at the end of the bytes, or when the next chunk runs past it (`cut` is then set).
  bool Next(Chunk& chunk) {
    if (at_ + 12 > size_) return cut_ = at_ != size_, false;
    const std::uint32_t length = BigEndian32(data_ + at_);
    if (length > 0x7FFFFFFFu || length > size_ - at_ - 12) return cut_ = true, false;
    chunk.type = QByteArray(reinterpret_cast<const char*>(data_ + at_ + 4), 4);
    chunk.data = data_ + at_ + 8;
    chunk.length = length;
    const std::uint32_t crc = BigEndian32(chunk.data + length);
    chunk.sound = libdeflate_crc32(0, data_ + at_ + 4, length + 4) == crc;
    at_ += 12 + std::size_t(length);
    return true;
  }
  bool Cut() const { return cut_; }

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::size_t at_ = 8;
  bool cut_ = false;
};

struct Header {
  std::uint32_t width = 0, height = 0;
  int depth = 0, colorType = 0, interlace = 0;
  bool valid = false;
};

Header ReadHeader(const Chunk& chunk) {
  Header h;
  if (chunk.type != "IHDR" || chunk.length != 13 || !chunk.sound) return h;
  const unsigned char* d = chunk.data;
  h.width = BigEndian32(d), h.height = BigEndian32(d + 4);
  h.depth = d[8], h.colorType = d[9], h.interlace = d[12];
  h.valid = h.width > 0 && h.height > 0 && h.width <= 0x7FFFFFFFu && h.height <= 0x7FFFFFFFu &&
            d[10] == 0 && d[11] == 0 && h.interlace <= 1;
  return h;
}

// What the chunks before and around the picture data say, as Qt's reader records it.
struct Ancillary {
  std::optional<std::array<std::uint16_t, 3>> transparent;  // tRNS of an RGB picture
  QByteArray iccProfile;                                    // compressed
  bool srgb = false;
  double gamma = 0;                                     // the file's, 1 / the transfer function's
  std::optional<std::array<double, 8>> chromaticities;  // white, red, green, blue (x, y)
};

void Note(const Chunk& c, int colorType, Ancillary& a) {
  const unsigned char* d = c.data;
  if (c.type == "tRNS" && colorType == kColor && c.length == 6 && !a.transparent)
    a.transparent = {std::uint16_t(d[0] << 8 | d[1]), std::uint16_t(d[2] << 8 | d[3]),
                     std::uint16_t(d[4] << 8 | d[5])};
  else if (c.type == "sRGB" && c.length == 1 && d[0] <= 3)
    a.srgb = true;
  else if (c.type == "gAMA" && c.length == 4)
    a.gamma = BigEndian32(d) / 100000.0;
  else if (c.type == "cHRM" && c.length == 32) {
    std::array<double, 8> values{};
    for (int i = 0; i < 8; ++i) values[std::size_t(i)] = BigEndian32(d + 4 * i) / 100000.0;
    a.chromaticities = values;
  } else if (c.type == "iCCP") {
    // A name of 1 to 79 bytes, its terminating zero, the compression method (0), the profile.
    const void* end = std::memchr(d, 0, std::min<std::uint32_t>(c.length, 80));
    const std::size_t skip = end ? std::size_t(static_cast<const unsigned char*>(end) - d) + 2 : 0;
    if (end && skip <= c.length && d[skip - 1] == 0)
      a.iccProfile =
          QByteArray(reinterpret_cast<const char*>(d + skip), qsizetype(c.length - skip));
  }
}

// Rows are kept with this many bytes to spare after them, so that a pixel of 3 bytes can be
// read and written as 4.
constexpr std::size_t kRowSpare = 4;

struct DecompressorFree {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// The picture data inflated whole by libdeflate (its zlib stream spread over the IDAT chunks): the
// filtered rows, one after the other, each after its filter byte. A buffer of up to kKeptBytes
// is kept for the next picture of the thread, which saves the system's work of mapping fresh
// memory (on these machines as long as the inflating itself); a larger one is not kept.
class InflatedRows {
 public:
  static constexpr std::size_t kKeptBytes = std::size_t{16} << 20;

  InflatedRows(const std::vector<std::pair<const unsigned char*, std::size_t>>& pieces,
               std::size_t bytes) {
    std::vector<unsigned char> joined;
    const unsigned char* compressed = pieces.empty() ? nullptr : pieces.front().first;
    std::size_t compressedBytes = pieces.empty() ? 0 : pieces.front().second;
    if (pieces.size() > 1) {
      for (const auto& [data, length] : pieces) joined.insert(joined.end(), data, data + length);
      compressed = joined.data(), compressedBytes = joined.size();
    }
    thread_local std::vector<unsigned char> kept;
    thread_local std::unique_ptr<libdeflate_decompressor, DecompressorFree> inflater(
        libdeflate_alloc_decompressor());
    if (!inflater) return;
    if (bytes + kRowSpare <= kKeptBytes) {
      if (kept.size() < bytes + kRowSpare) kept.resize(bytes + kRowSpare);
      rows_ = kept.data();
    } else {
      own_ = std::make_unique_for_overwrite<unsigned char[]>(bytes + kRowSpare);
      rows_ = own_.get();
    }
    std::size_t inflated = 0;
    sound_ = libdeflate_zlib_decompress(inflater.get(), compressed, compressedBytes, rows_, bytes,
                                        &inflated) == LIBDEFLATE_SUCCESS &&
             inflated == bytes;
  }

  bool Sound() const { return sound_; }
  const unsigned char* Rows() const { return rows_; }

 private:
  std::unique_ptr<unsigned char[]> own_;
  unsigned char* rows_ = nullptr;
  bool sound_ = false;
};

// The zlib stream `compressed` inflated, up to `limit` bytes; empty when corrupt or longer.
QByteArray Inflated(const QByteArray& compressed, qsizetype limit) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return {};
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
  stream.avail_in = uInt(compressed.size());
  QByteArray out;
  int result = Z_OK;
  while (result == Z_OK && out.size() < limit) {
    const qsizetype at = out.size();
    out.resize(std::min(limit, std::max<qsizetype>(4096, 2 * at)));
    stream.next_out = reinterpret_cast<Bytef*>(out.data() + at);
    stream.avail_out = uInt(out.size() - at);
    result = inflate(&stream, Z_NO_FLUSH);
    out.resize(out.size() - qsizetype(stream.avail_out));
  }
  inflateEnd(&stream);
  return result == Z_STREAM_END ? out : QByteArray();
}

// The colour space the PNG states: an ICC profile first, then sRGB, then gamma with the
// chromaticities when given.
QColorSpace StatedColorSpace(const Ancillary& a) {
  if (!a.iccProfile.isEmpty()) {
    const QColorSpace icc = QColorSpace::fromIccProfile(Inflated(a.iccProfile, 16 << 20));
    if (icc.isValid()) return icc;
  }
  if (a.srgb) return QColorSpace::SRgb;
  if (!(a.gamma > 0)) return {};
  if (const auto& c = a.chromaticities) {
    const QColorSpace stated(QPointF((*c)[0], (*c)[1]), QPointF((*c)[2], (*c)[3]),
                             QPointF((*c)[4], (*c)[5]), QPointF((*c)[6], (*c)[7]),
                             QColorSpace::TransferFunction::Gamma, float(1 / a.gamma));
    if (stated.isValid()) return stated;
  }
  return QColorSpace(QColorSpace::Primaries::SRgb, QColorSpace::TransferFunction::Gamma,
                     float(1 / a.gamma));
}

#if defined(__SSE2__)
// A pixel's 4 bytes (3 and the next one), widened to 16 bits a byte.
__m128i LoadPixel(const unsigned char* p) {
  std::uint32_t v = 0;
  std::memcpy(&v, p, 4);
  return _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(v)), _mm_setzero_si128());
}

// Writes 4 bytes: for a pixel of 3, the next pixel's first byte is written again after.
void StorePixel(unsigned char* p, __m128i v) {
  const std::uint32_t packed = std::uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(v, v)));
  std::memcpy(p, &packed, 4);
}

__m128i Abs16(__m128i v) {
  return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}

// The filters that use the pixel to the left, a pixel at a time, its channels side by side.
template <int kPixel>
void UnfilterLeft(int filter, const unsigned char* in, const unsigned char* above,
                  unsigned char* out, std::size_t n) {
  const __m128i mask = _mm_set1_epi16(0xFF);
  __m128i a = _mm_setzero_si128(), c = _mm_setzero_si128();
  for (std::size_t i = 0; i < n; i += kPixel) {
    const __m128i b = LoadPixel(above + i), d = LoadPixel(in + i);
    __m128i predicted = a;
    if (filter == 3) {
      predicted = _mm_srli_epi16(_mm_add_epi16(a, b), 1);
    } else if (filter == 4) {
      const __m128i pa = Abs16(_mm_sub_epi16(b, c)), pb = Abs16(_mm_sub_epi16(a, c));
      const __m128i pc = Abs16(_mm_add_epi16(_mm_sub_epi16(b, c), _mm_sub_epi16(a, c)));
      const __m128i smallest = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
      const __m128i takeA = _mm_cmpeq_epi16(pa, smallest);
      const __m128i takeB = _mm_andnot_si128(takeA, _mm_cmpeq_epi16(pb, smallest));
      const __m128i takeC = _mm_andnot_si128(_mm_or_si128(takeA, takeB), _mm_set1_epi16(-1));
      predicted = _mm_or_si128(_mm_or_si128(_mm_and_si128(takeA, a), _mm_and_si128(takeB, b)),
                               _mm_and_si128(takeC, c));
    }
    a = _mm_and_si128(_mm_add_epi16(d, predicted), mask);
    StorePixel(out + i, a);
    c = b;
  }
}
#else
template <int kPixel>
void UnfilterLeft(int filter, const unsigned char* in, const unsigned char* above,
                  unsigned char* out, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    const int a = i >= kPixel ? out[i - kPixel] : 0, b = above[i];
    const int c = i >= kPixel ? above[i - kPixel] : 0;
    int predicted = a;
    if (filter == 3) predicted = (a + b) / 2;
    if (filter == 4) {
      const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
      predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    }
    out[i] = Byte(in[i] + predicted);
  }
}
#endif

// One row's filter undone: `in` the filtered bytes, `above` the row above (unfiltered, zeros for
// the first), `out` the row. kPixel bytes a pixel. False for a filter that does not exist.
template <int kPixel>
bool Unfilter(int filter, const unsigned char* in, const unsigned char* above, unsigned char* out,
              std::size_t n) {
  switch (filter) {
    case 0:
      std::memcpy(out, in, n);
      return true;
    case 2:
      for (std::size_t i = 0; i < n; ++i) out[i] = Byte(in[i] + above[i]);
      return true;
    case 1:
    case 3:
    case 4:
      UnfilterLeft<kPixel>(filter, in, above, out, n);
      return true;
    default:
      return false;
  }
}

// The unfiltered rows into the picture, as RGB32 or ARGB32 pixels.
template <int kPixel>
const char* FillPicture(const unsigned char* filtered, const Ancillary& a, QImage& image) {
  const int width = image.width();
  const std::size_t rowBytes = std::size_t(width) * kPixel;
  std::vector<unsigned char> first(rowBytes + kRowSpare, 0), second(rowBytes + kRowSpare, 0);
  unsigned char *above = first.data(), *row = second.data();
  const bool keyed = kPixel == 3 && a.transparent.has_value();
  const std::array<std::uint16_t, 3> key = keyed ? *a.transparent : std::array<std::uint16_t, 3>{};
  for (int y = 0; y < image.height(); ++y) {
    const unsigned char* in = filtered + std::size_t(y) * (rowBytes + 1);
    if (!Unfilter<kPixel>(in[0], in + 1, above, row, rowBytes))
      return "a row has an unknown filter";
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    const unsigned char* p = row;
    for (int x = 0; x < width; ++x, p += kPixel) {
      if constexpr (kPixel == 4)
        out[x] = qRgba(p[0], p[1], p[2], p[3]);
      else if (keyed)
        out[x] =
            qRgba(p[0], p[1], p[2], p[0] == key[0] && p[1] == key[1] && p[2] == key[2] ? 0 : 255);
      else
        out[x] = qRgb(p[0], p[1], p[2]);
    }
    std::swap(above, row);
  }
  return nullptr;
}

}  // namespace

DecodedPng DecodePng(const QByteArray& bytes) {
  if (!HasPngSignature({bytes.constData(), size_t(bytes.size())}))
    return Failure(QStringLiteral("the file is not a PNG picture"));
  Chunks chunks(bytes);
  Chunk chunk;
  const Header header = chunks.Next(chunk) ? ReadHeader(chunk) : Header{};
  if (!header.valid) return Damaged("no valid header");
  const bool photoKind = header.depth == 8 && header.interlace == 0 &&
                         (header.colorType == kColor || header.colorType == kColorAlpha);
  if (!PictureSizeAllowed(header.width, header.height))
    return Failure(PictureTooLarge(header.width, header.height));

  Ancillary ancillary;
  // The picture data: the IDAT chunks' contents, one after the other.
  std::vector<std::pair<const unsigned char*, std::size_t>> pieces;
  bool ended = false;
  while (!ended && chunks.Next(chunk)) {
    if (!chunk.sound) {
      // A bad checksum drops an ancillary chunk; a critical one makes the picture damaged.
      if (chunk.Critical()) return Damaged("a chunk's checksum is wrong");
      continue;
    }
    if (chunk.type == "IDAT")
      pieces.emplace_back(chunk.data, chunk.length);
    else if (chunk.type == "IEND")
      ended = true;
    else if (chunk.type == "IHDR" || (chunk.Critical() && chunk.type != "PLTE"))
      return Damaged("a chunk out of place or unknown");
    else if (pieces.empty())
      Note(chunk, header.colorType, ancillary);
  }
  if (!ended) return Damaged(chunks.Cut() ? "the file ends early" : "no end chunk");
  if (!photoKind) {
    DecodedPng other = ReadPngWithLibpng(bytes);
    if (!other.image.isNull()) other.image.setColorSpace(StatedColorSpace(ancillary));
    return other;
  }

  const int pixelBytes = header.colorType == kColor ? 3 : 4;
  const std::size_t rowBytes = std::size_t(header.width) * std::size_t(pixelBytes);
  const bool alpha = header.colorType == kColorAlpha || ancillary.transparent.has_value();
  QImage image(int(header.width), int(header.height),
               alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (image.isNull()) return Failure(QStringLiteral("not enough memory for the picture"));
  const InflatedRows inflated(pieces, std::size_t(header.height) * (rowBytes + 1));
  if (!inflated.Sound()) return Damaged("the compressed data is corrupt or short");
  const char* damage = pixelBytes == 3 ? FillPicture<3>(inflated.Rows(), ancillary, image)
                                       : FillPicture<4>(inflated.Rows(), ancillary, image);
  if (damage) return Damaged(damage);
  image.setColorSpace(StatedColorSpace(ancillary));
  return {image, {}};
}

}  // namespace tavlo
