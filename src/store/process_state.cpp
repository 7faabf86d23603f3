#include "store/process_state.h"

namespace tavlo {

ProcessState& Process() {
  static ProcessState state;
  return state;
}

const std::array<std::int32_t, 32>& PowerOfTwo() {
  static const std::array<std::int32_t, 32> table = [] {
    std::array<std::int32_t, 32> t{};
    for (int k = 0; k < 32; ++k) t[k] = static_cast<std::int32_t>(std::uint32_t{1} << k);
    return t;
  }();
  return table;
}

}  // namespace tavlo
