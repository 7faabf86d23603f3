#include "picture/decoder_messages.h"

#include <cstdio>
#include <mutex>

namespace tavlo {
namespace {

// The messages of this thread's innermost DecoderMessages; none when there is none.
thread_local QStringList* tKept = nullptr;
QtMessageHandler gPrevious = nullptr;

void KeepReaderMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  // On a thread that decodes, every message comes from the readers: Qt's own, under their
  // category ("qt.gui.imageio.jpeg"), and the libraries' they pass on ("libpng error: ...").
  if (tKept) {
    tKept->append(text);
    return;
  }
  if (gPrevious)
    gPrevious(type, context, text);
  else
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

}  // namespace

DecoderMessages::DecoderMessages() : outer_(tKept) {
  static std::once_flag installed;
  std::call_once(installed, [] { gPrevious = qInstallMessageHandler(KeepReaderMessages); });
  tKept = &messages_;
}

DecoderMessages::~DecoderMessages() {
  tKept = outer_;
}

}  // namespace tavlo
