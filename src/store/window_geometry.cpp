#include "store/window_geometry.h"

#include <algorithm>

namespace tavlo {
namespace {

// `start` moved so that `length` pixels from it lie within [low, low + extent), or `low` when
// they cannot.
int ClampSpan(int start, int length, int low, int extent) {
  if (length >= extent) return low;
  return std::clamp(start, low, low + extent - length);
}

QPoint ClampInto(const QRect& available, QPoint at, QSize size) {
  return {ClampSpan(at.x(), size.width(), available.left(), available.width()),
          ClampSpan(at.y(), size.height(), available.top(), available.height())};
}

qint64 CoveredArea(const QRect& window, const std::vector<QRect>& avoid) {
  qint64 covered = 0;
  for (const QRect& other : avoid) {
    const QRect overlap = window.intersected(other);
    if (!overlap.isEmpty()) covered += qint64(overlap.width()) * overlap.height();
  }
  return covered;
}

// The preferred places: to the right of each avoided window (level with its top, then under each
// of the others there), then below it (level with its left, then after each of the others).
std::vector<QPoint> PreferredPlaces(const std::vector<QRect>& avoid) {
  std::vector<QPoint> places;
  for (size_t i = 0; i < avoid.size(); ++i) {
    const QRect& next = avoid[i];
    places.push_back({next.right() + 1, next.top()});
    for (size_t j = 0; j < avoid.size(); ++j)
      if (j != i) places.push_back({next.right() + 1, avoid[j].bottom() + 1});
    places.push_back({next.left(), next.bottom() + 1});
    for (size_t j = 0; j < avoid.size(); ++j)
      if (j != i) places.push_back({avoid[j].right() + 1, next.bottom() + 1});
  }
  return places;
}

// Every place where the covered area can be least. Along one axis the overlap with a window
// changes slope only where an edge of the placed window meets an edge of that window, and at
// the ends of the available area; the covered area is bilinear between those lines, so its
// least value is at one of their crossings.
std::vector<QPoint> TurningPlaces(const QRect& available, const std::vector<QRect>& avoid,
                                  QSize size) {
  std::vector<int> xs{available.left(), available.right() + 1 - size.width()};
  std::vector<int> ys{available.top(), available.bottom() + 1 - size.height()};
  for (const QRect& r : avoid) {
    xs.insert(xs.end(),
              {r.left() - size.width(), r.left(), r.right() + 1 - size.width(), r.right() + 1});
    ys.insert(ys.end(),
              {r.top() - size.height(), r.top(), r.bottom() + 1 - size.height(), r.bottom() + 1});
  }
  std::vector<QPoint> places;
  for (int x : xs)
    for (int y : ys) places.push_back({x, y});
  return places;
}

qint64 DistanceBetweenCentres(const QRect& a, const QRect& b) {
  const QPoint d = a.center() - b.center();
  return qint64(std::abs(d.x())) + std::abs(d.y());
}

}  // namespace

QPoint PlaceBeside(const QRect& available, const std::vector<QRect>& avoid, QSize size) {
  for (const QPoint& preferred : PreferredPlaces(avoid)) {
    const QPoint at = ClampInto(available, preferred, size);
    if (CoveredArea(QRect(at, size), avoid) == 0) return at;
  }
  // Nowhere beside them: the place that covers least, and of those the nearest to the first.
  QPoint best = ClampInto(available, available.topLeft(), size);
  qint64 bestCover = CoveredArea(QRect(best, size), avoid);
  const auto distance = [&](QPoint at) {
    return avoid.empty() ? 0 : DistanceBetweenCentres(QRect(at, size), avoid.front());
  };
  for (const QPoint& turning : TurningPlaces(available, avoid, size)) {
    const QPoint at = ClampInto(available, turning, size);
    const qint64 cover = CoveredArea(QRect(at, size), avoid);
    if (cover < bestCover || (cover == bestCover && distance(at) < distance(best))) {
      best = at;
      bestCover = cover;
    }
  }
  return best;
}

QSize FitScrolledArea(QSize natural, QSize room, QSize scrollBars) {
  QSize needed = natural;
  bool vertical = needed.height() > room.height();
  if (vertical) needed.rwidth() += scrollBars.width();
  if (needed.width() > room.width()) {
    needed.rheight() += scrollBars.height();
    if (!vertical && needed.height() > room.height()) needed.rwidth() += scrollBars.width();
  }
  return needed.boundedTo(room);
}

QPoint KeepWithin(const QRect& available, const QRect& frame) {
  return ClampInto(available, frame.topLeft(), frame.size());
}

}  // namespace tavlo
