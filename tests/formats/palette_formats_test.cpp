// Which reader takes a file: by the name's ending, unless the content shows another format.
#include "formats/palette_formats.h"

#include <gtest/gtest.h>

#include <QDataStream>

namespace tavlo::testing {
namespace {

PaletteRead ReadNamed(const QString& path, const QByteArray& bytes) {
  const PaletteFormat* reader = FormatForName(path);
  EXPECT_NE(reader, nullptr) << path.toStdString();
  return reader ? ReadPaletteAs(*reader, path, bytes) : PaletteRead{};
}

QByteArray RiffOfOneColor() {
  return QByteArray("RIFF\x14\0\0\0PAL data\x08\0\0\0\x00\x03\x01\x00\x11\x22\x33\x00", 28);
}

TEST(ReadPaletteAs, ContentBeatsAMisleadingName) {
  EXPECT_EQ(ReadNamed("/p/x.pal", RiffOfOneColor()).colors,
            std::vector<ColorValue>{MakeColor(0x11, 0x22, 0x33)});
  EXPECT_EQ(ReadNamed("/p/x.hex", "GIMP Palette\n1 2 3\n").colors,
            std::vector<ColorValue>{MakeColor(1, 2, 3)});
  QByteArray jasc = "JASC-PAL\r\n0100\r\n16\r\n";
  for (int i = 0; i < 16; ++i) jasc += "4 5 6\r\n";
  const PaletteRead asGpl = ReadNamed("/p/x.gpl", jasc);
  EXPECT_EQ(asGpl.colors.size(), 16u);
  EXPECT_TRUE(asGpl.warnings.isEmpty());
  QByteArray gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xAA\xBB\xCC\x01\x02\x03", 19);
  EXPECT_EQ(ReadNamed("/p/X.ACO", gif).colors,
            (std::vector<ColorValue>{MakeColor(0xAA, 0xBB, 0xCC), MakeColor(1, 2, 3)}));
}

TEST(ReadPaletteAs, AFileTheNamedReaderTakesStaysThatFormat) {
  // 768 bytes that begin like a GIF: still a colour table.
  QByteArray act(768, '\x07');
  act.replace(0, 6, "GIF89a");
  const PaletteRead read = ReadNamed("/p/x.act", act);
  ASSERT_EQ(read.colors.size(), 256u);
  EXPECT_EQ(read.colors[0], MakeColor('G', 'I', 'F'));
}

TEST(ReadPaletteAs, NewReadersNameTheFileAndTheOldKeepTheirTexts) {
  EXPECT_EQ(ReadNamed("/p/empty.gpl", "GIMP Palette\n").warnings,
            QStringList{"The file /p/empty.gpl holds no colours."});
  EXPECT_EQ(
      ReadNamed("/p/x.pal", QByteArray("RIFF\x04\0\0\0PAL ", 12)).warnings,
      QStringList{"The file /p/x.pal is not a RIFF palette: it has no complete colour table."});
  // Not RIFF, not JASC: the JASC reader's own message.
  EXPECT_EQ(ReadNamed("/p/x.pal", QByteArray(768, '\0')).warnings,
            QStringList{"This file is not a valid palette file from JASC. Terminating operation."});
  EXPECT_EQ(ReadNamed("/p/x.act", "short").warnings,
            QStringList{"This is not a valid PhotoShop ACT file!"});
  EXPECT_TRUE(ReadNamed("/p/x.gif", "GIF87a").warnings.isEmpty());
}

TEST(FormatForName, TheLastThreeCharactersInAnyCaseChoose) {
  EXPECT_EQ(FormatForName("a.GPL"), FormatForEnding(u"gpl"));
  EXPECT_EQ(FormatForName("apal"), FormatForEnding(u"pal"));
  for (const QString name : {"a.jpg", "a.psppalette", "", "pa"})
    EXPECT_EQ(FormatForName(name), nullptr) << name.toStdString();
}

TEST(PaletteFormats, WhatIsReadWhatIsWrittenAndWhichEntriesASaveAsksFor) {
  QStringList read, written;
  for (const PaletteFormat& format : PaletteFormats()) {
    if (format.read && !format.ending.isEmpty()) read << format.ending;
    if (format.write) written << format.ending + '=' + QString::number(int(format.saved));
  }
  EXPECT_EQ(read, QStringList({"act", "pal", "gif", "gpl", "hex", "ase", "aco", "png", "bmp"}));
  // 0: all entries, 1: the first 16 or all, 2: a range.
  EXPECT_EQ(written, QStringList({"act=0", "pal=1", "txt=2", "gpl=2", "hex=2", "aco=2"}));
}

}  // namespace
}  // namespace tavlo::testing
