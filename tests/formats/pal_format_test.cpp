#include "formats/pal_format.h"

#include <gtest/gtest.h>

namespace tavlo::testing {
namespace {

const QString kNotJasc = "This file is not a valid palette file from JASC. Terminating operation.";
const QString kVersion =
    "This file seems not to be a valid palette file from JASC, but operation will proceeded.";
const QString kInvalid = "This files is not a valid palette file from JASC. Terminating operation.";

// A 16-colour file with the given colour lines after `lead` (lines joined by CR LF).
QByteArray Pal16(const QList<QByteArray>& colorLines, const QByteArray& lead = "JASC-PAL") {
  QByteArray text = lead + "\r\n0100\r\n16\r\n";
  for (const QByteArray& line : colorLines) text += line + "\r\n";
  return text;
}

QList<QByteArray> GreyLines(int count) {
  QList<QByteArray> lines;
  for (int k = 0; k < count; ++k)
    lines << QByteArray::number(k) + ' ' + QByteArray::number(k) + ' ' + QByteArray::number(k);
  return lines;
}

TEST(ReadPal, ColorLinesBecomeEntriesAndBigComponentsCountAs255) {
  QList<QByteArray> lines = GreyLines(16);
  lines[0] = "255 128 0";
  lines[1] = "300 0 0";
  lines[2] = "  7 8 9  ";
  lines[3] = "010 0 32767";
  const PaletteRead read = ReadPal(Pal16(lines));
  EXPECT_TRUE(read.warnings.isEmpty());
  ASSERT_EQ(read.colors.size(), 16u);
  EXPECT_EQ(read.colors[0], 0x000080FF);
  EXPECT_EQ(read.colors[1], 0x000000FF);
  EXPECT_EQ(read.colors[2], MakeColor(7, 8, 9));
  EXPECT_EQ(read.colors[3], MakeColor(10, 0, 255));
  EXPECT_EQ(read.colors[15], MakeColor(15, 15, 15));
}

TEST(ReadPal, LinesMayEndInCrLfLfOrCr) {
  const QByteArray crlf = Pal16(GreyLines(16));
  QByteArray lf = crlf;
  lf.replace("\r\n", "\n");
  QByteArray cr = crlf;
  cr.replace("\r\n", "\r");
  QByteArray noFinalEnd = lf;
  noFinalEnd.chop(1);
  for (const QByteArray& text : {crlf, lf, cr, noFinalEnd}) {
    const PaletteRead read = ReadPal(text);
    EXPECT_TRUE(read.warnings.isEmpty());
    ASSERT_EQ(read.colors.size(), 16u);
    EXPECT_EQ(read.colors[15], MakeColor(15, 15, 15));
  }
}

TEST(ReadPal, FirstLineMustBeTheSignatureInCapitals) {
  EXPECT_TRUE(ReadPal(Pal16(GreyLines(16), "  JASC-PAL  ")).warnings.isEmpty());
  for (const QByteArray& lead : {QByteArray("jasc-pal"), QByteArray("\xEF\xBB\xBFJASC-PAL"),
                                 QByteArray("JASC-PAL\t"), QByteArray("RIFF")}) {
    const PaletteRead read = ReadPal(Pal16(GreyLines(16), lead));
    EXPECT_TRUE(read.colors.empty());
    EXPECT_EQ(read.warnings, QStringList{kNotJasc});
  }
  EXPECT_EQ(ReadPal("").warnings, QStringList{kNotJasc});
}

TEST(ReadPal, OtherVersionIsWarnedAboutAndReadAnyway) {
  QByteArray text = Pal16(GreyLines(16));
  text.replace("0100", "0200");
  const PaletteRead read = ReadPal(text);
  EXPECT_EQ(read.warnings, QStringList{kVersion});
  EXPECT_EQ(read.colors.size(), 16u);
}

TEST(ReadPal, CountOtherThan16Or256IsRejected) {
  for (const QByteArray& count :
       {QByteArray("255"), QByteArray("64"), QByteArray("0"), QByteArray("512"), QByteArray("abc"),
        QByteArray(""), QByteArray("-16"), QByteArray("99999999999999999999")}) {
    QByteArray text = "JASC-PAL\r\n0100\r\n" + count + "\r\n";
    for (const QByteArray& line : GreyLines(256)) text += line + "\r\n";
    const PaletteRead read = ReadPal(text);
    EXPECT_TRUE(read.colors.empty()) << count.constData();
    EXPECT_EQ(read.warnings, QStringList{kInvalid}) << count.constData();
  }
  EXPECT_EQ(ReadPal("JASC-PAL\r\n").warnings, QStringList{kInvalid});
  EXPECT_EQ(ReadPal("JASC-PAL\r\n0100\r\n").warnings, QStringList{kInvalid});
}

TEST(ReadPal, MalformedColorLineStopsWithEarlierEntriesRead) {
  for (const QByteArray& bad :
       {QByteArray("1 2"), QByteArray("123"), QByteArray("1  2 3"), QByteArray("1 2 3 4"),
        QByteArray("1 -2 3"), QByteArray("1 x 3"), QByteArray("1 2 32768"), QByteArray("1\t2\t3"),
        QByteArray("1 2 3.0"), QByteArray("+1 2 3"), QByteArray("")}) {
    QList<QByteArray> lines = GreyLines(16);
    lines[5] = bad;
    const PaletteRead read = ReadPal(Pal16(lines));
    EXPECT_EQ(read.warnings, QStringList{kInvalid}) << bad.constData();
    EXPECT_EQ(read.colors.size(), 5u) << bad.constData();
  }
}

TEST(ReadPal, FileEndingBeforeItsCountStopsWithAWarning) {
  const PaletteRead read = ReadPal(Pal16(GreyLines(10)));
  EXPECT_EQ(read.warnings, QStringList{kInvalid});
  EXPECT_EQ(read.colors.size(), 10u);
}

TEST(ReadPal, LinesAfterTheLastColorAreIgnored) {
  QList<QByteArray> lines = GreyLines(16);
  lines << "garbage"
        << "1 2";
  const PaletteRead read = ReadPal(Pal16(lines));
  EXPECT_TRUE(read.warnings.isEmpty());
  EXPECT_EQ(read.colors.size(), 16u);
}

TEST(WritePal, WritesHeaderAndOneLinePerEntryWithCrLf) {
  PaletteColors colors{};
  colors[0] = 0x00FF8000;
  colors[1] = 0x00000007;
  colors[16] = 0x00FFFFFF;
  const QByteArray text = WritePal(colors, 16);
  EXPECT_TRUE(text.startsWith("JASC-PAL\r\n0100\r\n16\r\n0 128 255\r\n7 0 0\r\n0 0 0\r\n"));
  EXPECT_EQ(text.count("\r\n"), 3 + 16);
  EXPECT_TRUE(text.endsWith("0 0 0\r\n"));
  const QByteArray all = WritePal(colors, 256);
  EXPECT_EQ(all.count("\r\n"), 3 + 256);
  EXPECT_TRUE(all.contains("\r\n255 255 255\r\n"));
}

TEST(WritePal, ReadsBackUnchanged) {
  PaletteColors colors{};
  for (int i = 0; i < kPaletteSize; ++i) colors[i] = MakeColor(255 - i, i, (i * 13) & 0xFF);
  for (const int count : {16, 256}) {
    const PaletteRead read = ReadPal(WritePal(colors, count));
    EXPECT_TRUE(read.warnings.isEmpty());
    ASSERT_EQ(read.colors.size(), size_t(count));
    EXPECT_TRUE(std::equal(read.colors.begin(), read.colors.end(), colors.begin()));
  }
}

}  // namespace
}  // namespace tavlo::testing
