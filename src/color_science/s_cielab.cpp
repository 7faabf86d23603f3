#include "color_science/s_cielab.h"

#include <algorithm>
#include <cmath>

#include "base/parallel_work.h"
#include "color_science/ciede2000_batch.h"
#include "color_science/cielab.h"

namespace tavlo {
namespace {

// The filters of the three channels: weight and spread (degrees of visual angle) of each
// Gaussian, from X. Zhang and B. A. Wandell, "A spatial extension of CIELAB for digital color
// image reproduction", SID Symposium Digest 27 (1996) 731-734, table 1. The weights are scaled
// to sum to one per channel when used (SCielabFilter).
constexpr SpreadTerm kLightness[] = {{0.921, 0.0283}, {0.105, 0.133}, {-0.108, 4.336}};
constexpr SpreadTerm kRedGreen[] = {{0.531, 0.0392}, {0.330, 0.494}};
constexpr SpreadTerm kBlueYellow[] = {{0.488, 0.0536}, {0.371, 0.386}};

// CIE XYZ (white Y = 1) to the opponent channels, from the same source.
constexpr double kToOpponent[3][3] = {
    {0.279, 0.72, -0.107}, {-0.449, 0.29, -0.077}, {0.086, -0.59, 0.501}};

struct Matrix3 {
  double m[3][3];
};

Matrix3 Inverse(const double (&a)[3][3]) {
  const double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                     a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                     a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
  Matrix3 r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      const int i1 = (j + 1) % 3, i2 = (j + 2) % 3, j1 = (i + 1) % 3, j2 = (i + 2) % 3;
      r.m[i][j] = (a[i1][j1] * a[i2][j2] - a[i1][j2] * a[i2][j1]) / det;
    }
  return r;
}

// The position inside [0, n) of position i of the picture mirrored at its edges.
long Mirror(long i, long n) {
  const long period = 2 * n;
  i %= period;
  if (i < 0) i += period;
  return i < n ? i : period - 1 - i;
}

size_t Workers(int threads, size_t pixels) {
  return threads > 0 ? size_t(threads) : ThreadsFor(pixels, size_t{1} << 18);
}

// A Gaussian of spread `s` samples is taken tap by tap up to this radius; wider ones as three
// box sums in a row, whose spread matches the Gaussian's (the shape differs by a few percent).
constexpr int kLargestDirectRadius = 12;

std::vector<float> Taps(double s) {
  const int radius = static_cast<int>(std::ceil(2.5 * s));
  std::vector<float> taps(2 * radius + 1);
  double sum = 0;
  for (int k = -radius; k <= radius; ++k) sum += std::exp(-double(k) * k / (s * s));
  for (int k = -radius; k <= radius; ++k)
    taps[k + radius] = float(std::exp(-double(k) * k / (s * s)) / sum);
  return taps;
}

// The row of `width` values with `radius` mirrored values before and after it.
void Padded(const float* values, int width, int radius, std::vector<float>& row) {
  row.resize(size_t(width) + 2 * size_t(radius) + 1);
  for (int i = -radius; i < width + radius + 1; ++i)
    row[size_t(i + radius)] = values[Mirror(i, width)];
}

// Blurs `in` into `out` (width x height) with `taps` along rows, then along columns via `temp`.
void DirectBlur(const std::vector<float>& in, std::vector<float>& out, std::vector<float>& temp,
                int width, int height, const std::vector<float>& taps, size_t workers) {
  const int radius = static_cast<int>(taps.size() / 2);
  RunInParts(size_t(height), workers, [&](size_t begin, size_t end) {
    std::vector<float> row;
    for (size_t y = begin; y < end; ++y) {
      Padded(in.data() + y * size_t(width), width, radius, row);
      float* target = temp.data() + y * size_t(width);
      for (int x = 0; x < width; ++x) {
        float sum = 0;
        for (int k = 0; k <= 2 * radius; ++k) sum += taps[size_t(k)] * row[size_t(x + k)];
        target[x] = sum;
      }
    }
  });
  RunInParts(size_t(height), workers, [&](size_t begin, size_t end) {
    for (size_t y = begin; y < end; ++y) {
      float* target = out.data() + y * width;
      std::fill_n(target, width, 0.0f);
      for (int k = -radius; k <= radius; ++k) {
        const float* row = temp.data() + Mirror(long(y) + k, height) * width;
        const float tap = taps[k + radius];
        for (int x = 0; x < width; ++x) target[x] += tap * row[x];
      }
    }
  });
}

// One box sum of 2 radius + 1 samples along each row, in place.
void BoxRows(std::vector<float>& plane, int width, int height, int radius, size_t workers) {
  RunInParts(size_t(height), workers, [&](size_t begin, size_t end) {
    std::vector<float> row;
    for (size_t y = begin; y < end; ++y) {
      float* values = plane.data() + y * size_t(width);
      Padded(values, width, radius + 1, row);  // row[x + radius + 1] is pixel x
      double sum = 0;
      for (int k = -radius; k <= radius; ++k) sum += row[size_t(k + radius + 1)];
      for (int x = 0; x < width; ++x) {
        values[x] = float(sum / (2 * radius + 1));
        sum += double(row[size_t(x + 2 * radius + 2)]) - double(row[size_t(x + 1)]);
      }
    }
  });
}

// The same along each column, in place: a running sum per column over a band of columns.
void BoxColumns(std::vector<float>& plane, int width, int height, int radius, size_t workers) {
  RunInParts(size_t(width), workers, [&](size_t begin, size_t end) {
    const size_t band = end - begin;
    std::vector<double> sum(band, 0.0);
    std::vector<float> column(size_t(height) * band);
    for (int y = 0; y < height; ++y)
      std::copy_n(plane.data() + size_t(y) * width + begin, band, column.data() + y * band);
    for (int k = -radius; k <= radius; ++k) {
      const float* row = column.data() + Mirror(k, height) * band;
      for (size_t x = 0; x < band; ++x) sum[x] += row[x];
    }
    for (int y = 0; y < height; ++y) {
      float* target = plane.data() + size_t(y) * width + begin;
      const float* enter = column.data() + Mirror(y + radius + 1, height) * band;
      const float* leave = column.data() + Mirror(y - radius, height) * band;
      for (size_t x = 0; x < band; ++x) {
        target[x] = float(sum[x] / (2 * radius + 1));
        sum[x] += double(enter[x]) - double(leave[x]);
      }
    }
  });
}

// `in` blurred by the Gaussian of spread `s` samples, into `out`.
void Gaussian(const std::vector<float>& in, std::vector<float>& out, std::vector<float>& temp,
              int width, int height, double s, size_t workers) {
  if (std::ceil(2.5 * s) <= kLargestDirectRadius) {
    DirectBlur(in, out, temp, width, height, Taps(s), workers);
    return;
  }
  // Three boxes of width w have the variance 3 (w^2 - 1) / 12 of the Gaussian's s^2 / 2.
  const int radius = std::max(1, int(std::lround((std::sqrt(2 * s * s + 1) - 1) / 2)));
  out = in;
  for (int pass = 0; pass < 3; ++pass) BoxRows(out, width, height, radius, workers);
  for (int pass = 0; pass < 3; ++pass) BoxColumns(out, width, height, radius, workers);
}

}  // namespace

std::vector<SpreadTerm> SCielabFilter(int channel) {
  std::vector<SpreadTerm> terms;
  if (channel == 0) terms.assign(std::begin(kLightness), std::end(kLightness));
  if (channel == 1) terms.assign(std::begin(kRedGreen), std::end(kRedGreen));
  if (channel == 2) terms.assign(std::begin(kBlueYellow), std::end(kBlueYellow));
  double sum = 0;
  for (const SpreadTerm& term : terms) sum += term.weight;
  for (SpreadTerm& term : terms) term.weight /= sum;
  return terms;
}

std::array<float, 3> OpponentFromColor(ColorValue color) {
  const Xyz xyz = XyzFromColor(color);
  std::array<float, 3> o;
  for (int c = 0; c < 3; ++c)
    o[c] = float(kToOpponent[c][0] * xyz.X + kToOpponent[c][1] * xyz.Y + kToOpponent[c][2] * xyz.Z);
  return o;
}

bool FilterForViewing(OpponentPicture& picture, double samplesPerDegree, int threads,
                      const std::atomic<bool>* stop) {
  const size_t pixels = size_t(picture.width) * size_t(picture.height);
  if (pixels == 0) return true;
  const size_t workers = Workers(threads, pixels);
  std::vector<float> blurred(pixels), temp(pixels), sum(pixels);
  for (int c = 0; c < 3; ++c) {
    std::fill(sum.begin(), sum.end(), 0.0f);
    for (const SpreadTerm& term : SCielabFilter(c)) {
      if (stop && stop->load(std::memory_order_relaxed)) return false;
      Gaussian(picture.plane[c], blurred, temp, picture.width, picture.height,
               term.spread * samplesPerDegree, workers);
      const float weight = float(term.weight);
      for (size_t p = 0; p < pixels; ++p) sum[p] += weight * blurred[p];
    }
    picture.plane[c].swap(sum);
  }
  return true;
}

std::vector<float> SCielabDifferences(const OpponentPicture& first, const OpponentPicture& second,
                                      int threads) {
  static const Matrix3 back = Inverse(kToOpponent);
  const size_t pixels = size_t(first.width) * size_t(first.height);
  std::vector<float> out(pixels);
  auto labOf = [](const OpponentPicture& picture, size_t p) {
    const double o[3] = {picture.plane[0][p], picture.plane[1][p], picture.plane[2][p]};
    double xyz[3];
    for (int r = 0; r < 3; ++r)
      xyz[r] = back.m[r][0] * o[0] + back.m[r][1] * o[1] + back.m[r][2] * o[2];
    return LabFromXyz({xyz[0], xyz[1], xyz[2]});
  };
  RunInParts(pixels, Workers(threads, pixels), [&](size_t begin, size_t end) {
    constexpr size_t kChunk = 1024;
    std::vector<Lab> a(kChunk), b(kChunk);
    std::vector<double> d(kChunk);
    for (size_t start = begin; start < end; start += kChunk) {
      const size_t n = std::min(kChunk, end - start);
      for (size_t i = 0; i < n; ++i) {
        a[i] = labOf(first, start + i);
        b[i] = labOf(second, start + i);
      }
      Ciede2000Batch(n, a.data(), b.data(), d.data());
      for (size_t i = 0; i < n; ++i) out[start + i] = float(d[i]);
    }
  });
  return out;
}

std::vector<float> SCielabDifferences(const std::vector<ColorValue>& first,
                                      const std::vector<ColorValue>& second, int width, int height,
                                      double samplesPerDegree, int threads) {
  auto filtered = [&](const std::vector<ColorValue>& colors) {
    OpponentPicture picture{width, height, {}};
    for (auto& plane : picture.plane) plane.resize(colors.size());
    for (size_t p = 0; p < colors.size(); ++p) {
      const std::array<float, 3> o = OpponentFromColor(colors[p]);
      for (int c = 0; c < 3; ++c) picture.plane[c][p] = o[c];
    }
    FilterForViewing(picture, samplesPerDegree, threads);
    return picture;
  };
  return SCielabDifferences(filtered(first), filtered(second), threads);
}

}  // namespace tavlo
