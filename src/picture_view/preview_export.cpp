#include "picture_view/preview_export.h"

#include "picture/bmp_writer.h"
#include "reduction/from_image.h"
#include "reduction/gif_encoder.h"
#include "reduction/png_encoder.h"

namespace tavlo {

PictureFormat PreviewExportFormat(const QString& name, int filter) {
  if (name.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive)) return PictureFormat::Bmp;
  if (name.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive)) return PictureFormat::Gif;
  if (name.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)) return PictureFormat::Png;
  if (filter == 1) return PictureFormat::Gif;
  if (filter == 2) return PictureFormat::Png;
  return PictureFormat::Bmp;
}

// The preview's pixels are the range's colours, so reducing it to them gives back exactly the
// entries the preview was made of (the first of equal ones, as it took them).
ExportedFile ExportPreview(QWidget* owner, const QImage& preview,
                           std::span<const ColorValue> colors, const QString& picture) {
  return ExportPictureFile(
      owner,
      {QStringLiteral("Save Preview"),
       QStringLiteral("Windows Bitmap|*.bmp|GIF|*.gif|PNG|*.png|All files|*.*"),
       QStringLiteral("bmp"), QStringLiteral("preview"), picture},
      [&](const QString& name, int filter) {
        switch (PreviewExportFormat(name, filter)) {
          case PictureFormat::Gif:
            return EncodeGif(ReduceImage(preview, colors));
          case PictureFormat::Png:
            return EncodePng(ReduceImage(preview, colors));
          case PictureFormat::Bmp:
            break;
        }
        return EncodedPicture{EncodeBmp(preview), {}};
      });
}

}  // namespace tavlo
