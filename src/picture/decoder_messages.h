#pragma once
// What Qt's picture readers, and the libraries under them, say while they decode: held back from
// the terminal and kept for the loader's own message, on the thread that decodes.
#include <QString>
#include <QStringList>

namespace tavlo {

// While one lives, every message of this thread is kept instead of printed: it decodes, and
// its messages are the readers'.
class DecoderMessages {
 public:
  DecoderMessages();
  ~DecoderMessages();
  DecoderMessages(const DecoderMessages&) = delete;
  DecoderMessages& operator=(const DecoderMessages&) = delete;

  // The messages so far, joined: "libpng error: Read Error", or empty.
  QString Text() const { return messages_.join(QStringLiteral("; ")); }

 private:
  QStringList messages_;
  QStringList* outer_ = nullptr;
};

}  // namespace tavlo
