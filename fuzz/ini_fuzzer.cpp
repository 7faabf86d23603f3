// The settings-file parser on arbitrary bytes: reading and writing keys must never crash, and a
// value written must read back.
#include <cstddef>
#include <cstdint>

#include "store/ini_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  for (const char* section : {"Recent", "frmMain", "palette"}) {
    (void)tavlo::ini::FindValue(text, section, "Max");
    const QByteArray written = tavlo::ini::WithValue(text, section, "RecentFile1", "/x y/z.gif");
    if (tavlo::ini::FindValue(written, section, "recentfile1") != QByteArray("/x y/z.gif")) {
      __builtin_trap();
    }
  }
  // The bytes themselves as section and key names.
  const qsizetype half = text.size() / 2;
  (void)tavlo::ini::WithValue(text, text.left(half), text.mid(half), "v");
  return 0;
}
