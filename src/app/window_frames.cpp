#include "app/window_frames.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QWidget>
#include <QWindow>

namespace tavlo {

QMargins FrameMargins(const QWidget& window) {
  const QRect frame = window.frameGeometry();
  const QRect inner = window.geometry();
  return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
          frame.bottom() - inner.bottom()};
}

void WaitUntilExposed(const QWidget& window) {
  const QWindow* handle = window.windowHandle();
  const QDeadlineTimer deadline(500);
  while (handle && !handle->isExposed() && !deadline.hasExpired()) {
    QCoreApplication::processEvents();
    QThread::msleep(2);
  }
}

}  // namespace tavlo
