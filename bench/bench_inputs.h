#pragma once
// Reading the peer comparison's inputs: raw RGB pictures and ACT palettes, as the benchmarks need.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tavlo::bench {

[[noreturn]] inline void Fail(const char* program, const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", program, message.c_str());
  std::exit(2);
}

inline std::vector<unsigned char> ReadAll(const char* program, const char* path) {
  FILE* file = std::fopen(path, "rb");
  if (!file) Fail(program, std::string("cannot open ") + path);
  std::vector<unsigned char> data;
  unsigned char buffer[1 << 16];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    data.insert(data.end(), buffer, buffer + n);
  std::fclose(file);
  return data;
}

inline int PositiveNumber(const char* program, const char* text, const char* what) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (!end || *end || value <= 0 || value > (1L << 30)) Fail(program, std::string("bad ") + what);
  return static_cast<int>(value);
}

// The colours 0x00BBGGRR of a 768-byte ACT file, or of a 772-byte one with its stated count.
inline std::vector<int32_t> ReadAct(const char* program, const char* path) {
  const std::vector<unsigned char> act = ReadAll(program, path);
  if (act.size() != 768 && act.size() != 772)
    Fail(program, "palette must be a 768- or 772-byte ACT file");
  int count = 256;
  if (act.size() == 772) {
    const int stated = (act[768] << 8) | act[769];
    if (stated >= 1 && stated <= 256) count = stated;
  }
  std::vector<int32_t> palette(static_cast<size_t>(count));
  for (size_t i = 0; i < palette.size(); ++i)
    palette[i] = act[3 * i] | (act[3 * i + 1] << 8) | (act[3 * i + 2] << 16);
  return palette;
}

// A raw RGB picture as the program holds it: pixels 0xFFRRGGBB.
inline std::vector<uint32_t> ReadRgbPicture(const char* program, const char* path, size_t pixels) {
  const std::vector<unsigned char> rgb = ReadAll(program, path);
  if (rgb.size() != pixels * 3) Fail(program, "input size is not WIDTH*HEIGHT*3");
  std::vector<uint32_t> picture(pixels);
  for (size_t i = 0; i < pixels; ++i)
    picture[i] = 0xFF000000u | (uint32_t{rgb[3 * i]} << 16) | (uint32_t{rgb[3 * i + 1]} << 8) |
                 rgb[3 * i + 2];
  return picture;
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

}  // namespace tavlo::bench
