#pragma once
// The busy pointer over all of the program's windows while an object of this class lives, or
// until Restore().
#include <QApplication>

namespace tavlo {

class BusyPointer {
 public:
  BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyPointer() { Restore(); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

  void Restore() {
    if (shown_) QApplication::restoreOverrideCursor();
    shown_ = false;
  }

 private:
  bool shown_ = true;
};

}  // namespace tavlo
