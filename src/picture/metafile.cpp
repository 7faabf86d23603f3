#include "picture/metafile.h"

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/gd.h>

#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "picture/isolated_call.h"
#include "picture/picture_loader.h"
#include "picture/wmf_fonts.h"

namespace tavlo {
namespace {

constexpr double kPixelsPerInch = 96.0;

quint16 Word(const QByteArray& bytes, int offset) {
  return qFromLittleEndian<quint16>(bytes.constData() + offset);
}
quint32 DWord(const QByteArray& bytes, int offset) {
  return qFromLittleEndian<quint32>(bytes.constData() + offset);
}
qint32 Long(const QByteArray& bytes, int offset) {
  return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

QImage Fail(QString* error, const QString& reason) {
  if (error) *error = reason;
  return {};
}

// Owns one libwmf session.
struct WmfSession {
  wmfAPI* api = nullptr;
  bool open = false;
  ~WmfSession() {
    if (!api) return;
    if (open) wmf_mem_close(api);
    wmf_api_destroy(api);
  }
};

// The natural size of an EMF: its frame (in 0.01 mm, offset 24: left, top, right, bottom) at
// 96 pixels to the inch; when the frame is empty, its bounds in device pixels (offset 8).
QSize EmfNaturalSize(const QByteArray& bytes) {
  const double frameWidth = double(Long(bytes, 32)) - Long(bytes, 24);
  const double frameHeight = double(Long(bytes, 36)) - Long(bytes, 28);
  const auto toPixels = [](double hundredthsOfMm) {
    return qint64(std::llround(hundredthsOfMm * kPixelsPerInch / 2540.0));
  };
  qint64 width = toPixels(frameWidth);
  qint64 height = toPixels(frameHeight);
  if (width <= 0 || height <= 0) {
    width = qint64(Long(bytes, 16)) - Long(bytes, 8) + 1;
    height = qint64(Long(bytes, 20)) - Long(bytes, 12) + 1;
  }
  if (width <= 0 || height <= 0 || width > INT_MAX || height > INT_MAX) return {};
  return QSize(int(width), int(height));
}

}  // namespace

bool LooksLikeWmf(const QByteArray& bytes) {
  if (bytes.size() < 18) return false;
  if (DWord(bytes, 0) == 0x9AC6CDD7u) return bytes.size() >= 22 + 18;
  const quint16 type = Word(bytes, 0);
  const quint16 headerWords = Word(bytes, 2);
  const quint16 version = Word(bytes, 4);
  return (type == 1 || type == 2) && headerWords == 9 && (version == 0x0300 || version == 0x0100);
}

bool LooksLikeEmf(const QByteArray& bytes) {
  // EMR_HEADER: type 1, size, bounds, frame, then the signature " EMF" at offset 40.
  return bytes.size() >= 88 && DWord(bytes, 0) == 1 && DWord(bytes, 40) == 0x464D4520u;
}

// The renderers themselves run in a child process (isolated_call.h): libwmf and libemf2svg are
// C libraries that were not written for hostile files, and libwmf keeps every image it draws.
// The child answers with one tag byte: 'E' and a reason, 'P' and the WMF's pixels (width and
// height, then 0xAARRGGBB values), or 'S' and the SVG text of the EMF.
namespace {

QByteArray ChildError(const QString& reason) {
  return 'E' + reason.toUtf8();
}

// libwmf's table of PostScript faces to font files, for the faces `fonts` substitutes: the
// strings stay owned by `fonts`, which outlives the session.
std::vector<wmfMapping> FaceTable(WmfFontPlan& fonts) {
  std::vector<wmfMapping> table;
  for (WmfFontSubstitute& substitute : fonts.substitutes)
    table.push_back({substitute.face.data(), substitute.file.data(), FT_ENCODING_NONE});
  table.push_back({nullptr, nullptr, FT_ENCODING_NONE});
  return table;
}

std::optional<QByteArray> WmfPixelsInChild(QByteArray data, WmfFontPlan fonts) {
  WmfSession session;
  wmfAPI_Options options{};
  options.function = wmf_gd_function;
  unsigned long flags =
      WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
  std::vector<wmfMapping> faces = FaceTable(fonts);
  char* fontDirs[] = {fonts.substituteDir.data(), nullptr};
  if (!fonts.substitutes.empty()) {
    flags |= WMF_OPT_FONTDIRS | WMF_OPT_FONTMAP;
    options.fontdirs = fontDirs;
    options.font.ps = faces.data();
  }
  // Without its fonts libwmf takes any metafile for a damaged one; say what is missing instead.
  const QString damaged =
      fonts.missing.empty() ? QStringLiteral("the metafile is damaged") : MissingWmfFontsReason();
  if (wmf_api_create(&session.api, flags, &options) != wmf_E_None || !session.api)
    return ChildError(QStringLiteral("the metafile renderer could not start"));
  // libwmf reads the buffer only; it wants a non-const pointer all the same.
  if (wmf_mem_open(session.api, reinterpret_cast<unsigned char*>(data.data()), data.size()) !=
      wmf_E_None)
    return ChildError(QStringLiteral("the metafile cannot be read"));
  session.open = true;
  wmfD_Rect bbox{};
  if (wmf_scan(session.api, 0, &bbox) != wmf_E_None) return ChildError(damaged);
  unsigned int width = 0;
  unsigned int height = 0;
  if (wmf_display_size(session.api, &width, &height, kPixelsPerInch, kPixelsPerInch) != wmf_E_None)
    return ChildError(QStringLiteral("the metafile has no usable size"));
  if (!PictureSizeAllowed(width, height)) return ChildError(PictureTooLarge(width, height));

  wmf_gd_t* device = WMF_GD_GetData(session.api);
  device->type = wmf_gd_image;
  device->width = width;
  device->height = height;
  device->bbox = bbox;
  if (wmf_play(session.api, 0, &bbox) != wmf_E_None || !device->gd_image)
    return ChildError(damaged);
  const int* pixels = wmf_gd_image_pixels(device->gd_image);
  if (!pixels) return ChildError(QStringLiteral("the metafile could not be drawn"));
  QByteArray answer(1 + 8 + qsizetype(width) * height * 4, Qt::Uninitialized);
  answer[0] = 'P';
  qToLittleEndian<quint32>(width, answer.data() + 1);
  qToLittleEndian<quint32>(height, answer.data() + 5);
  std::memcpy(answer.data() + 9, pixels, size_t(width) * height * 4);
  return answer;
}

std::optional<QByteArray> EmfSvgInChild(QByteArray data, QSize size) {
  generatorOptions options{};
  char noNamespace[] = "";
  options.nameSpace = noNamespace;
  options.verbose = false;
  options.emfplus = true;
  options.svgDelimiter = true;
  options.imgWidth = size.width();
  options.imgHeight = size.height();
  char* svg = nullptr;
  size_t svgLength = 0;
  const int converted = emf2svg(data.data(), size_t(data.size()), &svg, &svgLength, &options);
  const std::unique_ptr<char, decltype(&std::free)> owned(svg, &std::free);
  if (!converted || !svg || svgLength == 0)
    return ChildError(QStringLiteral("the metafile is damaged"));
  return 'S' + QByteArray(svg, qsizetype(svgLength));
}

// The child's answer with the given tag, or nullopt after setting `error`.
std::optional<QByteArray> Answer(const std::optional<QByteArray>& answer, char tag,
                                 QString* error) {
  if (!answer || answer->isEmpty()) {
    Fail(error, QStringLiteral("the metafile renderer failed on this file"));
    return std::nullopt;
  }
  if (answer->at(0) != tag) {
    Fail(error, answer->at(0) == 'E' ? QString::fromUtf8(answer->mid(1))
                                     : QStringLiteral("the metafile renderer failed"));
    return std::nullopt;
  }
  return answer->mid(1);
}

// The WMF device's pixels are 0xAARRGGBB with a 7-bit alpha where 0 is opaque and 127 clear.
QImage ImageFromWmfPixels(const QByteArray& payload, QString* error) {
  if (payload.size() < 8) return Fail(error, QStringLiteral("the metafile renderer failed"));
  const quint32 width = qFromLittleEndian<quint32>(payload.constData());
  const quint32 height = qFromLittleEndian<quint32>(payload.constData() + 4);
  if (!PictureSizeAllowed(width, height) || payload.size() - 8 != qint64(width) * height * 4)
    return Fail(error, QStringLiteral("the metafile renderer failed"));
  QImage image(int(width), int(height), QImage::Format_ARGB32);
  if (image.isNull()) return Fail(error, QStringLiteral("not enough memory for the picture"));
  const char* pixels = payload.constData() + 8;
  for (int y = 0; y < int(height); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < int(width); ++x) {
      const auto p = qFromLittleEndian<quint32>(pixels + (qint64(y) * width + x) * 4);
      const int transparency = int((p >> 24) & 0x7F);
      const int alpha = 255 - (transparency * 255 + 63) / 127;
      line[x] = qRgba(qRed(p), qGreen(p), qBlue(p), alpha);
    }
  }
  return image;
}

}  // namespace

QImage RenderWmf(const QByteArray& bytes, QString* error) {
  return RenderWmf(bytes, SystemWmfFonts(), error);
}

QImage RenderWmf(const QByteArray& bytes, const WmfFontPlan& fonts, QString* error) {
  const auto payload = Answer(
      RunIsolated({}, [&bytes, &fonts] { return WmfPixelsInChild(bytes, fonts); }), 'P', error);
  return payload ? ImageFromWmfPixels(*payload, error) : QImage();
}

QImage RenderEmf(const QByteArray& bytes, QString* error) {
  const QSize size = EmfNaturalSize(bytes);
  if (size.isEmpty()) return Fail(error, QStringLiteral("the metafile has no usable size"));
  if (!PictureSizeAllowed(size.width(), size.height()))
    return Fail(error, PictureTooLarge(size.width(), size.height()));
  const auto svg = Answer(RunIsolated({}, [&] { return EmfSvgInChild(bytes, size); }), 'S', error);
  if (!svg) return {};

  QSvgRenderer renderer(*svg);
  if (!renderer.isValid()) return Fail(error, QStringLiteral("the metafile could not be drawn"));
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return Fail(error, QStringLiteral("not enough memory for the picture"));
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
  return image;
}

}  // namespace tavlo
