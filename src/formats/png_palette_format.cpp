#include "formats/png_palette_format.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

#include "base/file_signatures.h"
#include "formats/palette_collector.h"

namespace tavlo {
namespace {

const QString kNotPng = QStringLiteral("is not an indexed PNG picture: %1");

// What the chunks before the pixels say; plain data, because libpng leaves a failed read by
// jumping out of its calls.
struct PngHeader {
  const unsigned char* data = nullptr;
  size_t size = 0;
  size_t position = 0;
  char error[128] = {};
  int colorType = 0;
  int tableSize = 0;
  unsigned char table[3 * 256] = {};
  int transparent = -1;  // the first entry of alpha 0
};

void ReadFromMemory(png_structp png, png_bytep out, size_t length) {
  auto* header = static_cast<PngHeader*>(png_get_io_ptr(png));
  if (length > header->size - header->position) png_error(png, "the file ends early");
  std::memcpy(out, header->data + header->position, length);
  header->position += length;
}

void OnError(png_structp png, png_const_charp message) {
  auto* header = static_cast<PngHeader*>(png_get_error_ptr(png));
  std::strncpy(header->error, message, sizeof header->error - 1);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Runs libpng up to the first pixel data. False with header.error set when libpng refused the
// file. No object with a destructor lives in this frame, so leaving it by longjmp is safe.
bool ReadHeader(PngHeader& header) {
  std::strcpy(header.error, "out of memory");
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &header, OnError, OnWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  // Only the header and the table matter. Every other chunk is skipped unread: libpng would
  // otherwise allocate a text chunk's announced length before finding that the file is shorter.
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_set_chunk_malloc_max(png, 1 << 20);
  png_set_read_fn(png, &header, ReadFromMemory);
  png_read_info(png, info);
  header.colorType = png_get_color_type(png, info);
  png_colorp table = nullptr;
  int count = 0;
  if (png_get_PLTE(png, info, &table, &count) == PNG_INFO_PLTE && table && count > 0) {
    header.tableSize = count > 256 ? 256 : count;
    for (int i = 0; i < header.tableSize; ++i) {
      header.table[3 * i] = table[i].red;
      header.table[3 * i + 1] = table[i].green;
      header.table[3 * i + 2] = table[i].blue;
    }
  }
  png_bytep alpha = nullptr;
  int alphaCount = 0;
  if (header.colorType == PNG_COLOR_TYPE_PALETTE &&
      png_get_tRNS(png, info, &alpha, &alphaCount, nullptr) == PNG_INFO_tRNS && alpha) {
    for (int i = 0; i < alphaCount && i < header.tableSize && header.transparent < 0; ++i)
      if (alpha[i] == 0) header.transparent = i;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

}  // namespace

bool LooksLikePng(QByteArrayView bytes) {
  return HasPngSignature({bytes.data(), size_t(bytes.size())});
}

PaletteRead ReadPngPalette(QByteArrayView bytes) {
  if (!LooksLikePng(bytes))
    return Refused(kNotPng.arg(QStringLiteral("it does not start with the PNG signature.")));
  PngHeader header;
  header.data = reinterpret_cast<const unsigned char*>(bytes.data());
  header.size = static_cast<size_t>(bytes.size());
  if (!ReadHeader(header))
    return Refused(kNotPng.arg(
        QStringLiteral("it cannot be read (%1).").arg(QString::fromLatin1(header.error))));
  if (header.tableSize == 0)
    return Refused(kNotPng.arg(QStringLiteral("it is a %1 picture without a colour table.")
                                   .arg(header.colorType & PNG_COLOR_MASK_COLOR
                                            ? QStringLiteral("truecolour")
                                            : QStringLiteral("greyscale"))));
  PaletteCollector collector;
  for (int i = 0; i < header.tableSize; ++i)
    collector.Add(MakeColor(header.table[3 * i], header.table[3 * i + 1], header.table[3 * i + 2]));
  PaletteRead read = std::move(collector).Finish();
  read.transparentEntry = header.transparent;
  if (header.colorType != PNG_COLOR_TYPE_PALETTE)
    read.warnings.prepend(QStringLiteral("is a truecolour picture; the %1-colour palette it "
                                         "suggests for display was read.")
                              .arg(header.tableSize));
  return read;
}

}  // namespace tavlo
