#pragma once
// Windows metafiles rendered to pixels at their natural size (96 pixels to the inch): WMF through
// libwmf, EMF through libemf2svg and Qt's SVG renderer. Transparent parts come out white.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace tavlo {

// Recognised by their headers: a placeable WMF (key 0x9AC6CDD7) or a plain one (type 1 or 2 and
// a 9-word header); an EMF by its first record EMR_HEADER carrying the " EMF" signature.
bool LooksLikeWmf(const QByteArray& bytes);
bool LooksLikeEmf(const QByteArray& bytes);

struct WmfFontPlan;

// A null image and the reason when the metafile cannot be rendered.
QImage RenderWmf(const QByteArray& bytes, QString* error);
// With the given fonts instead of this system's.
QImage RenderWmf(const QByteArray& bytes, const WmfFontPlan& fonts, QString* error);
QImage RenderEmf(const QByteArray& bytes, QString* error);

}  // namespace tavlo
