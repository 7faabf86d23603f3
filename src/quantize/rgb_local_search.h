#pragma once
// Fine-tuning of a palette under the preview's rule. The rule maps each colour to the entry
// nearest in RGB, which is often not the perceptually nearest one; so the entries that are best
// for the perceptual loss are not the means of their colours. This search moves one entry at a
// time by a few RGB steps and keeps a move when the loss of the colours it touches falls, with
// the working-space distance standing in for CIEDE2000 (it follows it closely and is far cheaper).
#include <vector>

#include "quantize/stop_flag.h"
#include "quantize/working_colors.h"

namespace tavlo::quantize {

struct LocalSearchOptions {
  int firstStep = 4;  // RGB units; halved down to 1 whenever no move helps
  int maxPasses = 30;
  int threads = 0;
  StopFlag stop = nullptr;
};

// Returns the tuned palette: distinct colours, as many as `palette` has.
std::vector<ColorValue> TuneOnRgbRule(const WorkingColors& colors, std::vector<ColorValue> palette,
                                      const LocalSearchOptions& options);

}  // namespace tavlo::quantize
