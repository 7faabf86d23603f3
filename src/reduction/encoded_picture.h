#pragma once
// The bytes of a picture file made in memory, or why there are none.
#include <QByteArray>
#include <QString>

namespace tavlo {

struct EncodedPicture {
  QByteArray bytes;
  QString error;         // a sentence for the user; empty on success
  int mergedFrames = 0;  // of an animation: frames left out as identical to the one before
  bool ok() const { return error.isEmpty(); }
};

}  // namespace tavlo
