#include "result/free_place.h"

#include <algorithm>
#include <limits>

namespace tavlo {
namespace {

constexpr int kGap = 8;

qint64 CoveredArea(const QRect& place, const QList<QRect>& taken) {
  qint64 area = 0;
  for (const QRect& r : taken) {
    const QRect both = place.intersected(r);
    if (!both.isEmpty()) area += qint64(both.width()) * both.height();
  }
  return area;
}

QRect OnScreen(QRect place, const QRect& screen) {
  place.moveLeft(std::clamp(place.left(), screen.left(),
                            std::max(screen.left(), screen.right() - place.width() + 1)));
  place.moveTop(std::clamp(place.top(), screen.top(),
                           std::max(screen.top(), screen.bottom() - place.height() + 1)));
  return place;
}

}  // namespace

QPoint FreePlace(QSize size, const QList<QRect>& taken, const QRect& screen) {
  QList<QRect> candidates;
  for (const QRect& r : taken) {
    candidates.append({QPoint(r.right() + 1 + kGap, r.top()), size});
    candidates.append({QPoint(r.left(), r.bottom() + 1 + kGap), size});
    candidates.append({QPoint(r.left() - kGap - size.width(), r.top()), size});
    candidates.append({QPoint(r.left(), r.top() - kGap - size.height()), size});
  }
  for (const QRect& place : candidates)
    if (screen.contains(place) && CoveredArea(place, taken) == 0) return place.topLeft();
  QRect best = OnScreen(QRect(screen.topLeft(), size), screen);
  qint64 bestArea = std::numeric_limits<qint64>::max();
  for (const QRect& candidate : candidates) {
    const QRect place = OnScreen(candidate, screen);
    const qint64 area = CoveredArea(place, taken);
    if (area < bestArea) {
      best = place;
      bestArea = area;
    }
  }
  return best.topLeft();
}

}  // namespace tavlo
