// The number reading of the entry-range prompt: any text, no crash, and every accepted answer
// reads back exactly.
#include <cstddef>
#include <cstdint>

#include "operations/entry_number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString answer =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const std::optional<int> number = tavlo::ReadPlainWholeNumber(answer);
  if (number && QString::number(*number) != answer) __builtin_trap();
  return 0;
}
