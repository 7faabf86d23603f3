#include "formats/act_format.h"

namespace tavlo {

PaletteRead ReadAct(QByteArrayView bytes) {
  PaletteRead result;
  if (bytes.size() != kActFileSize) {
    result.warnings << kActRejected;
    return result;
  }
  result.colors.reserve(kPaletteSize);
  for (int i = 0; i < kPaletteSize; ++i) {
    const auto* record = reinterpret_cast<const unsigned char*>(bytes.data()) + 3 * i;
    result.colors.push_back(MakeColor(record[0], record[1], record[2]));
  }
  return result;
}

QByteArray WriteAct(const PaletteColors& colors) {
  QByteArray bytes;
  bytes.reserve(kActFileSize);
  for (const ColorValue color : colors) {
    const Rgb rgb = SplitColor(color);
    bytes.append(static_cast<char>(rgb.red));
    bytes.append(static_cast<char>(rgb.green));
    bytes.append(static_cast<char>(rgb.blue));
  }
  return bytes;
}

}  // namespace tavlo
