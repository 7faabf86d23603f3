#include "color_science/ciede2000.h"

#include "color_science/ciede2000_batch.h"

namespace tavlo {

// One pair is a batch of one: the formula is written once, in ciede2000_batch.cpp.
double Ciede2000(const Lab& first, const Lab& second) {
  double difference = 0;
  Ciede2000Batch(1, &first, &second, &difference);
  return difference;
}

}  // namespace tavlo
