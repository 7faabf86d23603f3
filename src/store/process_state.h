#pragma once
// The process-wide values that several parts of the program share for the whole run.
#include <QString>
#include <cstdint>

namespace tavlo {

struct ProcessState {
  QString settingsPath;         // full path of the settings file, fixed at start-up
  QString stateDirectory;       // where the last session's palette is kept, fixed at start-up
  std::int16_t recentMax = 0;   // number of recent pictures shown (key Recent/Max)
  std::int16_t zoomFactor = 0;  // side of the square the zoom lens enlarges: 5, 9 or 17
};

ProcessState& Process();

}  // namespace tavlo
