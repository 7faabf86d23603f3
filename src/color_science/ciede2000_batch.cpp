#include "color_science/ciede2000_batch.h"

#include <cmath>
#include <numbers>

#if defined(__x86_64__) && defined(__GLIBC__) && defined(__GNUC__) && !defined(__clang__)
// glibc's vector maths library has copies of these that take four doubles at a time (two
// without AVX2); declared so, the loop below calls them. GCC only: clang (the fuzz build) does
// not know the attribute, and fails the loop's vector request when the calls stay scalar.
extern "C" {
__attribute__((simd("notinbranch"))) double atan2(double, double) noexcept;
__attribute__((simd("notinbranch"))) double sin(double) noexcept;
__attribute__((simd("notinbranch"))) double cos(double) noexcept;
__attribute__((simd("notinbranch"))) double exp(double) noexcept;
}
#define TAVLO_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#define TAVLO_VECTOR_LOOP _Pragma("omp simd")
#else
#define TAVLO_VECTOR_CLONES
#define TAVLO_VECTOR_LOOP
#endif

namespace tavlo {
namespace {

constexpr double kDegree = std::numbers::pi / 180;

// sqrt(C^7 / (C^7 + 25^7)).
inline double ChromaWeight(double chroma) {
  const double c2 = chroma * chroma, c7 = c2 * c2 * c2 * chroma;
  return std::sqrt(c7 / (c7 + 6103515625.0));
}

// Hue angle in degrees, 0..360; 0 where it is undefined.
inline double HueOf(double a, double b) {
  const double hue = std::atan2(b, a) / kDegree;
  return a == 0 && b == 0 ? 0 : hue < 0 ? hue + 360 : hue;
}

}  // namespace

// Every branch of Ciede2000 is a selection here, so that the loop has none.
TAVLO_VECTOR_CLONES
void Ciede2000Batch(std::size_t count, const Lab* __restrict first, const Lab* __restrict second,
                    double* __restrict out) {
  TAVLO_VECTOR_LOOP
  for (std::size_t i = 0; i < count; ++i) {
    const Lab x = first[i], y = second[i];
    const double meanChroma =
        (std::sqrt(x.a * x.a + x.b * x.b) + std::sqrt(y.a * y.a + y.b * y.b)) / 2;
    const double g = 0.5 * (1 - ChromaWeight(meanChroma));
    const double a1 = (1 + g) * x.a, a2 = (1 + g) * y.a;
    const double c1 = std::sqrt(a1 * a1 + x.b * x.b), c2 = std::sqrt(a2 * a2 + y.b * y.b);
    const double h1 = HueOf(a1, x.b), h2 = HueOf(a2, y.b);
    const bool achromatic = c1 * c2 == 0;

    double hueStep = achromatic ? 0 : h2 - h1;
    hueStep = hueStep > 180 ? hueStep - 360 : hueStep < -180 ? hueStep + 360 : hueStep;
    const double deltaL = y.L - x.L;
    const double deltaC = c2 - c1;
    const double deltaH = 2 * std::sqrt(c1 * c2) * std::sin(hueStep / 2 * kDegree);

    // Hues exactly opposite take the first rule, whatever the last bit of their angles: the vector
    // atan2 may round them the other way than the plain one.
    const double sum = h1 + h2;
    const double meanHue = achromatic ? sum
                           : std::abs(h1 - h2) <= 180 + 1e-9
                               ? sum / 2
                               : (sum < 360 ? sum + 360 : sum - 360) / 2;
    const double meanL = (x.L + y.L) / 2;
    const double meanC = (c1 + c2) / 2;
    const double t = 1 - 0.17 * std::cos((meanHue - 30) * kDegree) +
                     0.24 * std::cos(2 * meanHue * kDegree) +
                     0.32 * std::cos((3 * meanHue + 6) * kDegree) -
                     0.20 * std::cos((4 * meanHue - 63) * kDegree);
    const double lightOffset = (meanL - 50) * (meanL - 50);
    const double scaleL = 1 + 0.015 * lightOffset / std::sqrt(20 + lightOffset);
    const double scaleC = 1 + 0.045 * meanC;
    const double scaleH = 1 + 0.015 * meanC * t;
    const double hueBand = (meanHue - 275) / 25;
    const double rotation =
        -std::sin(60 * std::exp(-hueBand * hueBand) * kDegree) * 2 * ChromaWeight(meanC);

    const double l = deltaL / scaleL, c = deltaC / scaleC, h = deltaH / scaleH;
    out[i] = std::sqrt(l * l + c * c + h * h + rotation * c * h);
  }
}

}  // namespace tavlo
