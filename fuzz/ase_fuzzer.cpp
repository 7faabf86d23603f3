// The swatch exchange reader on arbitrary bytes: never a crash, at most 256 colours, each a valid
// colour value, and a reason whenever nothing is read.
#include "formats/ase_format.h"
#include "palette_read_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckPaletteRead(tavlo::ReadAse(FuzzBytes(data, size)));
  return 0;
}
