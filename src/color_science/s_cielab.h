#pragma once
// S-CIELAB, the spatial extension of CIELAB (Zhang and Wandell): how far two pictures look apart
// at a viewing distance, rather than how far each pixel is from the other's. Both pictures go
// to an opponent colour space (a lightness and two colour-difference channels); each channel is
// blurred by a sum of Gaussians that models how finely the eye resolves it, the colour channels
// far more than lightness; the result goes back to CIELAB and each pixel's CIEDE2000 is taken.
// Fine dither and noise that the eye averages away so drop out; flat areas give the same figure
// as CIEDE2000 alone.
//
// Borders: the picture is mirrored at each edge (the pixel beyond the last is the last, and so on
// back), so an edge is not darkened by black outside the picture, and a flat border stays flat.
//
// Written here since no Debian package computes it; its cost grows with the pixels only: the
// wide Gaussians are three running box sums each, whatever their spread.
#include <array>
#include <atomic>
#include <cstddef>
#include <vector>

#include "base/color_value.h"

namespace tavlo {

// The viewing condition: samples per degree of visual angle. 60 is a 96-dpi screen seen from
// about 60 cm.
inline constexpr double kDefaultViewingPpd = 60;
// The conditions the program takes: from a pixel a degree to a thousand.
inline constexpr double kMinViewingPpd = 1;
inline constexpr double kMaxViewingPpd = 1000;

// One Gaussian of a channel's filter: its weight and its spread s in degrees of visual angle
// (the Gaussian is exp(-(x^2 + y^2) / s^2), scaled to sum to one).
struct SpreadTerm {
  double weight = 0;
  double spread = 0;
};

// The weights of a channel (0 lightness, 1 red-green, 2 blue-yellow), scaled to sum to one.
std::vector<SpreadTerm> SCielabFilter(int channel);

// A picture in the opponent space, one plane of floats per channel, row by row.
struct OpponentPicture {
  int width = 0;
  int height = 0;
  std::array<std::vector<float>, 3> plane;
};

std::array<float, 3> OpponentFromColor(ColorValue color);

// The picture's channels blurred as the eye does at `samplesPerDegree`. `threads` 0 chooses by
// size. Returns false, with the picture of no use, when `stop` became true. Throws
// std::bad_alloc.
bool FilterForViewing(OpponentPicture& picture, double samplesPerDegree, int threads = 0,
                      const std::atomic<bool>* stop = nullptr);

// The CIEDE2000 of each pixel between two filtered pictures of one size.
std::vector<float> SCielabDifferences(const OpponentPicture& first, const OpponentPicture& second,
                                      int threads = 0);

// The whole way for two pictures of one size given as colours, row by row.
std::vector<float> SCielabDifferences(const std::vector<ColorValue>& first,
                                      const std::vector<ColorValue>& second, int width, int height,
                                      double samplesPerDegree = kDefaultViewingPpd,
                                      int threads = 0);

}  // namespace tavlo
