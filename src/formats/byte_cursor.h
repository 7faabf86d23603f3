#pragma once
// Reads the fields of a binary file front to back. Every read first checks that the bytes are
// there; a read past the end reads zeros and marks the cursor as overrun, so a reader can take a
// group of fields and check once whether they were all present.
#include <QByteArrayView>
#include <cstdint>
#include <cstring>

namespace tavlo {

class ByteCursor {
 public:
  explicit ByteCursor(QByteArrayView bytes) : bytes_(bytes) {}

  qsizetype Remaining() const { return bytes_.size() - pos_; }
  bool AtEnd() const { return pos_ >= bytes_.size(); }
  // False once any read went past the end.
  bool Ok() const { return ok_; }

  std::uint8_t U8() { return Fixed<std::uint8_t, 1>(false); }
  std::uint16_t U16Be() { return Fixed<std::uint16_t, 2>(true); }
  std::uint32_t U32Be() { return Fixed<std::uint32_t, 4>(true); }
  std::uint16_t U16Le() { return Fixed<std::uint16_t, 2>(false); }
  std::uint32_t U32Le() { return Fixed<std::uint32_t, 4>(false); }
  float F32Be() {
    const std::uint32_t bits = U32Be();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  // The next `count` bytes, or an empty view (and an overrun) when fewer are left.
  QByteArrayView Take(qsizetype count) {
    if (!Has(count)) return Overrun();
    const QByteArrayView part = bytes_.sliced(pos_, count);
    pos_ += count;
    return part;
  }
  void Skip(qsizetype count) { Take(count); }

  bool Has(qsizetype count) const { return count >= 0 && count <= Remaining(); }

 private:
  template <typename T, int kSize>
  T Fixed(bool bigEndian) {
    const QByteArrayView part = Take(kSize);
    if (part.isEmpty()) return 0;
    T value = 0;
    for (int i = 0; i < kSize; ++i) {
      const auto byte =
          static_cast<T>(static_cast<unsigned char>(part[bigEndian ? i : kSize - 1 - i]));
      value = static_cast<T>((value << 8) | byte);
    }
    return value;
  }
  QByteArrayView Overrun() {
    ok_ = false;
    pos_ = bytes_.size();
    return {};
  }

  QByteArrayView bytes_;
  qsizetype pos_ = 0;
  bool ok_ = true;
};

}  // namespace tavlo
