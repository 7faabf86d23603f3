// Every GIMP palette, hex list, swatch file and PNG picture of the shared corpus, read through
// the program's readers and compared with an independent reading of the same bytes written here:
// plain text splitting for the text files, a Qt data stream for the binary ones, a walk over the
// PNG chunks. Each file's outcome is printed as accepted, warned or refused.
#include <gtest/gtest.h>

#include <QDataStream>
#include <QDir>
#include <QRegularExpression>
#include <cmath>
#include <iostream>
#include <map>
#include <optional>

#include "formats/palette_formats.h"
#include "support/reference_colors.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

// What an independent reading found: the colours, and for converted swatches the reference
// colour each is to be within one unit of.
struct Expected {
  std::vector<ColorValue> colors;
  std::vector<bool> converted;  // per colour: compared within 1 unit rather than exactly
  bool unreadable = false;      // the independent reading found the file malformed
  int notices = 0;              // warnings beyond those of conversion and of colours left out
};

void AddExact(Expected& e, ColorValue c) {
  e.colors.push_back(c);
  e.converted.push_back(false);
}
void AddConverted(Expected& e, ColorValue c) {
  e.colors.push_back(c);
  e.converted.push_back(true);
}

QStringList TextLines(const QByteArray& bytes) {
  return QString::fromUtf8(bytes)
      .remove(QChar(0xFEFF))
      .split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
}

Expected IndependentGpl(const QByteArray& bytes) {
  Expected e;
  const QStringList lines = TextLines(bytes);
  static const QRegularExpression color(QStringLiteral("^\\s*(\\d+)\\s+(\\d+)\\s+(\\d+)(\\s|$)"));
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QString line = lines[i].trimmed();
    if (line.isEmpty() || line.startsWith('#') || line.startsWith(QStringLiteral("Name:")) ||
        line.startsWith(QStringLiteral("Columns:")) || line.startsWith(QStringLiteral("Channels:")))
      continue;
    const QRegularExpressionMatch m = color.match(line);
    if (!m.hasMatch()) e.unreadable = true;
    AddExact(e, MakeColor(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()));
  }
  return e;
}

Expected IndependentHex(const QByteArray& bytes) {
  Expected e;
  static const QRegularExpression color(
      QStringLiteral("^#?([0-9a-fA-F]{2})([0-9a-fA-F]{2})([0-9a-fA-F]{2})([0-9a-fA-F]{2})?$"));
  static const QRegularExpression comment(QStringLiteral("^#([^0-9a-fA-F]|$)"));
  for (const QString& raw : TextLines(bytes)) {
    const QString line = raw.trimmed();
    if (line.isEmpty() || comment.match(line).hasMatch()) continue;
    const QRegularExpressionMatch m = color.match(line);
    if (!m.hasMatch()) e.unreadable = true;
    AddExact(e, MakeColor(m.captured(1).toInt(nullptr, 16), m.captured(2).toInt(nullptr, 16),
                          m.captured(3).toInt(nullptr, 16)));
  }
  return e;
}

Expected IndependentAco(const QByteArray& bytes) {
  Expected e;
  QDataStream in(bytes);
  quint16 version = 0, count = 0;
  in >> version >> count;
  for (int k = 0; k < count && in.status() == QDataStream::Ok; ++k) {
    quint16 space = 0, w = 0, x = 0, y = 0, z = 0;
    in >> space >> w >> x >> y >> z;
    if (version == 2) {
      quint32 length = 0;
      in >> length;
      in.skipRawData(int(2 * length));
    }
    switch (space) {
      case 0:
        AddExact(e, MakeColor(w / 256, x / 256, y / 256));
        break;
      case 1:
        AddConverted(e, ReferenceHsb(w / 65535.0 * 360, x / 65535.0, y / 65535.0));
        break;
      case 2:
        AddConverted(
            e, ReferenceCmyk(1 - w / 65535.0, 1 - x / 65535.0, 1 - y / 65535.0, 1 - z / 65535.0));
        break;
      case 7:
        AddConverted(e, ReferenceLab(w / 100.0, qint16(x) / 100.0, qint16(y) / 100.0));
        break;
      case 8:
        AddConverted(e, ReferenceGrey(1 - w / 10000.0));
        break;
      default:
        e.unreadable = true;
    }
  }
  if (in.status() != QDataStream::Ok) e.unreadable = true;
  return e;
}

Expected IndependentAse(const QByteArray& bytes) {
  Expected e;
  QDataStream in(bytes);
  in.setFloatingPointPrecision(QDataStream::SinglePrecision);
  char magic[4];
  in.readRawData(magic, 4);
  quint16 major = 0, minor = 0;
  quint32 blocks = 0;
  in >> major >> minor >> blocks;
  if (major != 1 || minor != 0) ++e.notices;
  for (quint32 k = 0; k < blocks && in.status() == QDataStream::Ok; ++k) {
    quint16 type = 0;
    quint32 length = 0;
    in >> type >> length;
    QByteArray block(int(std::min<quint32>(length, 1 << 20)), '\0');
    if (in.readRawData(block.data(), int(block.size())) != block.size()) e.unreadable = true;
    if (type != 1) continue;
    QDataStream color(block);
    color.setFloatingPointPrecision(QDataStream::SinglePrecision);
    quint16 nameLength = 0;
    color >> nameLength;
    color.skipRawData(2 * nameLength);
    char model[4];
    color.readRawData(model, 4);
    float v[4] = {0, 0, 0, 0};
    const QByteArray m(model, 4);
    const int values = m == "CMYK" ? 4 : m == "Gray" ? 1 : 3;
    for (int i = 0; i < values; ++i) color >> v[i];
    if (m == "RGB ")
      AddExact(e, MakeColor(int(std::lround(v[0] * 255)), int(std::lround(v[1] * 255)),
                            int(std::lround(v[2] * 255))));
    else if (m == "CMYK")
      AddConverted(e, ReferenceCmyk(v[0], v[1], v[2], v[3]));
    else if (m == "LAB ")
      AddConverted(e, ReferenceLab(v[0] * 100, v[1], v[2]));
    else if (m == "Gray")
      AddConverted(e, ReferenceGrey(v[0]));
    else
      e.unreadable = true;
  }
  if (in.status() != QDataStream::Ok) e.unreadable = true;
  return e;
}

// The PLTE chunk found by walking the chunks.
Expected IndependentPng(const QByteArray& bytes) {
  Expected e;
  QDataStream in(bytes);
  in.skipRawData(8 + 4 + 4 + 8 + 1);  // signature, IHDR length and type, size, bit depth
  quint8 colorType = 0;
  in >> colorType;
  in.skipRawData(3 + 4);  // rest of IHDR, CRC
  while (in.status() == QDataStream::Ok && !in.atEnd()) {
    quint32 length = 0;
    in >> length;
    QByteArray type(4, '\0');
    in.readRawData(type.data(), 4);
    QByteArray data(int(std::min<quint32>(length, 1 << 20)), '\0');
    in.readRawData(data.data(), int(data.size()));
    in.skipRawData(4);  // CRC
    if (type == "PLTE") {
      for (qsizetype i = 0; i + 2 < data.size(); i += 3)
        AddExact(e, MakeColor(quint8(data[i]), quint8(data[i + 1]), quint8(data[i + 2])));
      if (colorType != 3) ++e.notices;  // the palette a truecolour picture suggests
      break;
    }
    if (type == "IDAT") break;
  }
  return e;
}

Expected Independent(const QString& file, const QByteArray& bytes) {
  if (file.startsWith("gpl/")) return IndependentGpl(bytes);
  if (file.startsWith("hex/")) return IndependentHex(bytes);
  if (file.startsWith("aco/")) return IndependentAco(bytes);
  if (file.startsWith("ase/")) return IndependentAse(bytes);
  return IndependentPng(bytes);
}

int ChannelDistance(ColorValue a, ColorValue b) {
  return std::max({std::abs(RedOf(a) - RedOf(b)), std::abs(GreenOf(a) - GreenOf(b)),
                   std::abs(BlueOf(a) - BlueOf(b))});
}

class SwatchCorpusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!QDir(CorpusPath(QString())).exists())
      GTEST_SKIP() << "the shared corpus is not there: " << CorpusPath(QString()).toStdString();
  }
};

TEST_F(SwatchCorpusTest, EveryFileReadsAsTheIndependentReadingSays) {
  int files = 0;
  for (const QString folder : {"gpl", "hex", "aco", "ase", "png"}) {
    for (const QString& name : QDir(CorpusPath(folder)).entryList(QDir::Files, QDir::Name)) {
      const QString file = folder + '/' + name;
      SCOPED_TRACE(file.toStdString());
      ++files;
      const QByteArray bytes = ReadBytes(CorpusPath(file));
      // Read by the folder's format, whatever the name (one hex list is named .txt).
      const PaletteRead read = ReadPaletteAs(*FormatForEnding(folder), CorpusPath(file), bytes);
      const Expected expected = Independent(file, bytes);
      const bool refused = read.colors.empty();
      std::cout << "[corpus] " << file.toStdString() << ": "
                << (refused                   ? "refused"
                    : read.warnings.isEmpty() ? "accepted"
                                              : "warned")
                << ", " << read.colors.size() << " colours\n";
      for (const QString& warning : read.warnings)
        std::cout << "           " << warning.toStdString() << "\n";

      if (expected.unreadable || expected.colors.empty()) {
        EXPECT_TRUE(refused);
        EXPECT_EQ(read.warnings.size(), 1);
        continue;
      }
      const size_t taken = std::min<size_t>(expected.colors.size(), kPaletteSize);
      ASSERT_EQ(read.colors.size(), taken);
      bool anyConverted = false;
      for (size_t i = 0; i < taken; ++i) {
        anyConverted = anyConverted || expected.converted[i];
        if (expected.converted[i])
          EXPECT_LE(ChannelDistance(read.colors[i], expected.colors[i]), 1) << i;
        else
          EXPECT_EQ(read.colors[i], expected.colors[i]) << i;
      }
      const int leftOut = expected.colors.size() > size_t(kPaletteSize) ? 1 : 0;
      EXPECT_EQ(read.warnings.size(), expected.notices + (anyConverted ? 1 : 0) + leftOut)
          << read.warnings.join('\n').toStdString();
    }
  }
  EXPECT_EQ(files, 17 + 10 + 12 + 10 + 8);
}

TEST_F(SwatchCorpusTest, OnePaletteInThreeFormatsGivesTheSameColors) {
  const auto read = [](const QString& file) {
    return ReadPaletteAs(*FormatForName(file), CorpusPath(file), ReadBytes(CorpusPath(file)));
  };
  const PaletteRead gpl = read("gpl/kubohisa-Swatchs__ColorsOfJapan.gpl");
  ASSERT_EQ(gpl.colors.size(), 238u);
  EXPECT_EQ(read("ase/kubohisa-Swatchs__ColorsOfJapan.ase").colors, gpl.colors);
  EXPECT_EQ(read("aco/kubohisa-Swatchs__ColorsOfJapan.aco").colors, gpl.colors);
}

// The Lab swatches of this palette's ASE file and the sRGB values its authors published in the
// GIMP file: the published values are the reference conversion, met within one unit.
TEST_F(SwatchCorpusTest, LabSwatchesMeetThePublishedSrgbValues) {
  const auto read = [](const QString& file) {
    return ReadPaletteAs(*FormatForName(file), CorpusPath(file), ReadBytes(CorpusPath(file)));
  };
  const PaletteRead published = read("gpl/solarized__solarized.gpl");
  const PaletteRead lab = read("ase/solarized__solarized.ase");
  ASSERT_EQ(published.colors.size(), 16u);
  ASSERT_EQ(lab.colors.size(), 16u);
  // The two files list the colours in different orders: match each by the nearest.
  for (const ColorValue color : lab.colors) {
    int nearest = 255;
    for (const ColorValue p : published.colors)
      nearest = std::min(nearest, ChannelDistance(color, p));
    EXPECT_LE(nearest, 1) << std::hex << color;
  }
}

}  // namespace
}  // namespace tavlo::testing
