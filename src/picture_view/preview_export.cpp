#include "picture_view/preview_export.h"

#include <vector>

#include "picture/bmp_writer.h"
#include "picture_view/picture_export.h"
#include "reduction/gif_encoder.h"
#include "reduction/indexed_picture.h"
#include "reduction/png_encoder.h"

namespace tavlo {
namespace {

// The preview's pixels are the range's colours, so mapping them to their nearest entries gives
// back exactly the entries the preview was made of (the first of equal ones, as it took them).
IndexedPicture IndexedPreview(const QImage& preview, std::span<const ColorValue> colors) {
  const QImage pixels = preview.convertToFormat(QImage::Format_RGB32);
  return ReducePicture(reinterpret_cast<const std::uint32_t*>(pixels.constBits()), pixels.width(),
                       pixels.height(), pixels.bytesPerLine(), colors.data(),
                       static_cast<int>(colors.size()));
}

}  // namespace

PictureFormat PreviewExportFormat(const QString& name, int filter) {
  if (name.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive)) return PictureFormat::Bmp;
  if (name.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive)) return PictureFormat::Gif;
  if (name.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) return PictureFormat::Png;
  if (filter == 1) return PictureFormat::Gif;
  if (filter == 2) return PictureFormat::Png;
  return PictureFormat::Bmp;
}

void ExportPreview(QWidget* owner, const QImage& preview, std::span<const ColorValue> colors) {
  const std::vector<ColorValue> table(colors.begin(), colors.end());
  ExportPictureFile(owner,
                    {QStringLiteral("Save Preview"),
                     QStringLiteral("Windows Bitmap|*.bmp|GIF|*.gif|PNG|*.png|All files|*.*"),
                     QStringLiteral("bmp"), QStringLiteral("preview")},
                    [&](const QString& name, int filter) {
                      switch (PreviewExportFormat(name, filter)) {
                        case PictureFormat::Gif:
                          return EncodeGif(IndexedPreview(preview, table));
                        case PictureFormat::Png:
                          return EncodePng(IndexedPreview(preview, table));
                        case PictureFormat::Bmp:
                          break;
                      }
                      return EncodedPicture{EncodeBmp(preview), {}};
                    });
}

}  // namespace tavlo
