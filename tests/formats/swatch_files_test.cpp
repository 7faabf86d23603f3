// The ACO and ASE swatch readers: exact RGB, converted colour models, and files that are cut
// short or hold what the readers cannot take.
#include <gtest/gtest.h>

#include <QDataStream>
#include <QIODevice>
#include <cmath>
#include <limits>

#include "formats/aco_format.h"
#include "formats/ase_format.h"
#include "support/reference_colors.h"

namespace tavlo::testing {
namespace {

struct AcoSwatch {
  quint16 space, w, x, y, z;
};

QByteArray Aco(quint16 version, const std::vector<AcoSwatch>& swatches) {
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out << version << quint16(swatches.size());
  for (const AcoSwatch& s : swatches) {
    out << s.space << s.w << s.x << s.y << s.z;
    if (version == 2) out << quint32(3) << quint16('a') << quint16('b') << quint16(0);
  }
  return bytes;
}

// A colour block of ASE: empty name, the model and its values, colour type 2 (normal).
QByteArray AseColor(const char model[4], std::vector<float> values) {
  QByteArray data;
  QDataStream out(&data, QIODevice::WriteOnly);
  out.setFloatingPointPrecision(QDataStream::SinglePrecision);
  out << quint16(0);
  out.writeRawData(model, 4);
  for (const float v : values) out << v;
  out << quint16(2);
  return data;
}

struct AseBlock {
  quint16 type;
  QByteArray data;
};

QByteArray Ase(const std::vector<AseBlock>& blocks, quint16 major = 1, quint16 minor = 0) {
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out.writeRawData("ASEF", 4);
  out << major << minor << quint32(blocks.size());
  for (const AseBlock& b : blocks) {
    out << b.type << quint32(b.data.size());
    out.writeRawData(b.data.constData(), int(b.data.size()));
  }
  return bytes;
}

int ChannelDistance(ColorValue a, ColorValue b) {
  return std::max({std::abs(RedOf(a) - RedOf(b)), std::abs(GreenOf(a) - GreenOf(b)),
                   std::abs(BlueOf(a) - BlueOf(b))});
}

void ExpectNear(const std::vector<ColorValue>& actual, const std::vector<ColorValue>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i)
    EXPECT_LE(ChannelDistance(actual[i], expected[i]), 1)
        << i << ": " << std::hex << actual[i] << " vs " << expected[i];
}

// Every shorter prefix of a well-formed file is refused with one warning.
template <typename Reader>
void ExpectEveryPrefixRefused(const QByteArray& whole, Reader read) {
  for (qsizetype n = 0; n < whole.size(); ++n) {
    const PaletteRead partial = read(whole.first(n));
    EXPECT_TRUE(partial.colors.empty()) << n;
    EXPECT_EQ(partial.warnings.size(), 1) << n;
  }
}

TEST(ReadAco, RgbTakesTheHighByteOfEachValueInBothVersions) {
  const std::vector<AcoSwatch> swatches = {{0, 0x80FF, 0x0000, 0xFFFF, 0},
                                           {0, 0x1234, 0xFF00, 0x00FF, 0}};
  const std::vector<ColorValue> expected = {MakeColor(0x80, 0, 0xFF), MakeColor(0x12, 0xFF, 0)};
  for (const QByteArray& file :
       {Aco(1, swatches), Aco(2, swatches), Aco(1, swatches) + Aco(2, swatches)}) {
    const PaletteRead read = ReadAco(file);
    EXPECT_TRUE(read.warnings.isEmpty());
    EXPECT_EQ(read.colors, expected);
  }
}

TEST(ReadAco, HsbCmykLabAndGreyAreConvertedWithOneWarning) {
  const PaletteRead read = ReadAco(
      Aco(2, {
                 {1, 0, 65535, 65535, 0},      // HSB pure red
                 {1, 21845, 32768, 49152, 0},  // HSB hue 120 degrees, half saturated
                 {2, 65535, 0, 0, 65535},  // CMYK stored inverted: no cyan, full magenta and yellow
                 {2, 32768, 49152, 16384, 52428},     // CMYK with some black
                 {7, 5000, quint16(-2000), 4500, 0},  // Lab 50, -20, 45
                 {8, 0, 0, 0, 0},                     // grey 0: white
                 {8, 2500, 0, 0, 0},                  // grey 25 % ink
                 {0, 0x8080, 0x8080, 0x8080, 0},
             }));
  ExpectNear(read.colors, {ReferenceHsb(0, 1, 1),
                           ReferenceHsb(21845 / 65535.0 * 360, 32768 / 65535.0, 49152 / 65535.0),
                           ReferenceCmyk(0, 1, 1, 0),
                           ReferenceCmyk(1 - 32768 / 65535.0, 1 - 49152 / 65535.0,
                                         1 - 16384 / 65535.0, 1 - 52428 / 65535.0),
                           ReferenceLab(50, -20, 45), ReferenceGrey(1), ReferenceGrey(0.75),
                           MakeColor(0x80, 0x80, 0x80)});
  EXPECT_EQ(read.colors[0], MakeColor(255, 0, 0));
  EXPECT_EQ(read.colors[2], MakeColor(255, 0, 0));
  EXPECT_EQ(read.warnings,
            QStringList{"holds 7 swatches in HSB, CMYK, Lab and greyscale, converted to sRGB."});
}

TEST(ReadAco, FilesItCannotTakeAreRefusedWithTheReason) {
  EXPECT_EQ(ReadAco(Aco(1, {{0, 0, 0, 0, 0}, {3, 1, 2, 3, 4}})).warnings,
            QStringList{"holds swatch 2 in colour space 3, which has no conversion to RGB."});
  EXPECT_EQ(ReadAco(QByteArray("\x00\x03\x00\x00", 4)).warnings,
            QStringList{"is not a colour swatch file: it starts with version 3, not 1 or 2."});
  EXPECT_EQ(ReadAco(Aco(1, {})).warnings, QStringList{"holds no colours."});
  EXPECT_EQ(ReadAco(Aco(1, {{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}}).chopped(1)).warnings,
            QStringList{"is not a colour swatch file: it ends inside swatch 2 of the 2 it "
                        "announces."});
  // A name longer than the file.
  QByteArray longName = Aco(2, {{0, 0, 0, 0, 0}});
  longName[15] = '\x7F';
  EXPECT_TRUE(ReadAco(longName).colors.empty());
  ExpectEveryPrefixRefused(Aco(2, {{0, 1, 2, 3, 0}, {1, 4, 5, 6, 0}}), ReadAco);
}

TEST(ReadAco, MoreThan256SwatchesGiveTheFirst256) {
  std::vector<AcoSwatch> swatches;
  for (int k = 0; k < 1000; ++k) swatches.push_back({0, quint16((k % 256) << 8), 0, 0, 0});
  const PaletteRead read = ReadAco(Aco(1, swatches));
  ASSERT_EQ(read.colors.size(), 256u);
  EXPECT_EQ(read.colors[255], MakeColor(255, 0, 0));
  EXPECT_EQ(read.warnings,
            QStringList{"holds 1000 colours; the first 256 were read and the other 744 left out."});
}

TEST(ReadAse, ModelsGroupsAndNamesAsTheyComeInFiles) {
  QByteArray named = AseColor("RGB ", {1, 0.5f, 0});
  named.replace(0, 2, QByteArray("\x00\x02\x00\x41\x00\x00", 6));  // name "A" with its NUL
  const PaletteRead read = ReadAse(Ase({
      {0xC001, QByteArray("\x00\x02\x00\x47\x00\x00", 6)},  // group "G"
      {0x0001, named},
      {0x0001, AseColor("CMYK", {0, 1, 1, 0})},
      {0x0001, AseColor("LAB ", {0.5f, -20, 45})},
      {0x0001, AseColor("Gray", {0.25f})},
      {0xC002, {}},
      {0xC001, {}},                               // a group start with no name at all
      {0x0001, AseColor("LAB ", {50, -20, 45})},  // lightness on the 0..100 scale
  }));
  ExpectNear(read.colors,
             {MakeColor(255, 128, 0), ReferenceCmyk(0, 1, 1, 0), ReferenceLab(50, -20, 45),
              ReferenceGrey(0.25), ReferenceLab(50, -20, 45)});
  EXPECT_EQ(read.colors[0], MakeColor(255, 128, 0));
  EXPECT_EQ(read.warnings,
            QStringList{"holds 4 swatches in CMYK, Lab and greyscale, converted to sRGB."});
}

TEST(ReadAse, ValuesOutOfRangeOrNotNumbersStillGiveColors) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const PaletteRead read = ReadAse(Ase({
      {1, AseColor("RGB ", {nan, inf, -inf})},
      {1, AseColor("RGB ", {2, -1, 1e30f})},
      {1, AseColor("LAB ", {nan, inf, -inf})},
      {1, AseColor("CMYK", {nan, 5, -5, nan})},
      {1, AseColor("Gray", {-inf})},
  }));
  ASSERT_EQ(read.colors.size(), 5u);
  EXPECT_EQ(read.colors[0], MakeColor(0, 255, 0));
  EXPECT_EQ(read.colors[1], MakeColor(255, 0, 255));
  for (const ColorValue c : read.colors) EXPECT_TRUE(c >= 0 && c <= 0xFFFFFF);
}

TEST(ReadAse, AnotherVersionIsReadWithAWarning) {
  const PaletteRead read = ReadAse(Ase({{1, AseColor("RGB ", {0, 0, 1})}}, 0, 1));
  EXPECT_EQ(read.colors, std::vector<ColorValue>{MakeColor(0, 0, 255)});
  EXPECT_EQ(read.warnings,
            QStringList{"has swatch exchange version 0.1; it was read as version 1.0."});
}

TEST(ReadAse, FilesItCannotTakeAreRefusedWithTheReason) {
  EXPECT_EQ(ReadAse("ASEX\0\1\0\0\0\0\0\0").warnings,
            QStringList{"is not a swatch exchange file: it does not start with \"ASEF\" and a "
                        "header."});
  EXPECT_EQ(ReadAse(Ase({{1, AseColor("HSV ", {0, 0, 0})}})).warnings,
            QStringList{"is not a swatch exchange file: block 1 does not hold a colour of a known "
                        "model."});
  EXPECT_EQ(ReadAse(Ase({{1, AseColor("CMYK", {0, 0, 0, 0}).first(14)}})).warnings,
            QStringList{"is not a swatch exchange file: block 1 does not hold a colour of a known "
                        "model."});
  EXPECT_EQ(ReadAse(Ase({{0xC001, {}}, {0xC002, {}}})).warnings, QStringList{"holds no colours."});
  QByteArray moreBlocksThanThere = Ase({{1, AseColor("RGB ", {0, 0, 0})}});
  moreBlocksThanThere[11] = 2;
  EXPECT_EQ(ReadAse(moreBlocksThanThere).warnings,
            QStringList{"is not a swatch exchange file: it ends inside block 2 of the 2 it "
                        "announces."});
  ExpectEveryPrefixRefused(
      Ase({{0xC001, QByteArray("\0\1\0\0", 4)}, {1, AseColor("Gray", {1})}, {0xC002, {}}}),
      ReadAse);
}

}  // namespace
}  // namespace tavlo::testing
