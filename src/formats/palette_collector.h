#pragma once
// Gathers the colours a reader finds and turns them into its result, with the warnings every
// reader of swatch and list files gives in the same words.
//
// Warnings of these readers are sentences about the file that leave out its name: "holds 300
// colours; ..." The caller, who knows the file, puts its name in front ("The file x.gpl holds
// 300 colours; ...").
#include <QString>
#include <array>

#include "formats/palette_read.h"

namespace tavlo {

// The colour models a swatch file can store. Every model but RGB is converted to sRGB.
enum class SwatchModel { Rgb, Hsb, Cmyk, Lab, Grey };

class PaletteCollector {
 public:
  // Takes a colour of the file. Past the 256th, colours are only counted.
  void Add(ColorValue color, SwatchModel model = SwatchModel::Rgb);
  // How many colours the file has shown so far, taken or not.
  qsizetype Total() const { return total_; }

  // The first 256 colours, with a warning naming how many were converted and one naming how
  // many were left out. A file that showed no colour at all is refused.
  PaletteRead Finish() &&;

 private:
  PaletteRead read_;
  qsizetype total_ = 0;
  std::array<int, 5> convertedByModel_{};
};

// A refused file: no colours and the one warning that says why.
PaletteRead Refused(const QString& reason);

}  // namespace tavlo
