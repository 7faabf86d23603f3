#include "store/process_state.h"

namespace tavlo {

ProcessState& Process() {
  static ProcessState state;
  return state;
}

}  // namespace tavlo
