#include "picture/preview.h"

#include "colorlib/tavlo_color.h"

namespace tavlo {

QImage MakePreview(const QImage& picture, std::span<const ColorValue> colors) {
  // The library reduces the picture in place: bits() below makes the copy our own.
  QImage preview = picture.convertToFormat(QImage::Format_RGB32);
  if (preview.isNull() || colors.empty() || colors.size() > size_t(kPaletteSize)) return preview;
  PreViewImage(reinterpret_cast<uint32_t*>(preview.bits()), preview.width(), preview.height(),
               int32_t(preview.bytesPerLine()), colors.data(), int32_t(colors.size()));
  return preview;
}

}  // namespace tavlo
