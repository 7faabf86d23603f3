// The ACO swatch reader on arbitrary bytes: never a crash, at most 256 colours, each a valid colour
// value, and a reason whenever nothing is read.
#include "formats/aco_format.h"
#include "palette_read_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckPaletteRead(tavlo::ReadAco(FuzzBytes(data, size)));
  return 0;
}
