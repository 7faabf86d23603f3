// Every real palette and GIF file of the shared corpus is opened through the program's readers
// and compared with an independent reading of the same bytes.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "commands/palette_file_commands.h"
#include "palette_model/palette_document.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

constexpr ColorValue kUntouched = 0x00123456;

struct CorpusRow {
  QString file;
  QString notes;
  QString expectation;  // what the reader should do, in words
};

QString Unquote(QString field) {
  if (field.size() >= 2 && field.startsWith('"') && field.endsWith('"'))
    field = field.mid(1, field.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
  return field;
}

std::vector<CorpusRow> ReadManifest() {
  std::vector<CorpusRow> rows;
  const QString text = QString::fromUtf8(ReadBytes(CorpusPath("MANIFEST.tsv")));
  const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QStringList fields = lines[i].split('\t');
    if (fields.size() < 8) continue;
    rows.push_back({fields[0], Unquote(fields[6]), Unquote(fields[7])});
  }
  return rows;
}

// The colours of a JASC file read without the program's reader: lines split at any line end,
// numbers split at any white space.
std::vector<ColorValue> IndependentPal(const QByteArray& bytes) {
  const QStringList lines =
      QString::fromLatin1(bytes).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
  const int count = lines.value(2).trimmed().toInt();
  std::vector<ColorValue> colors;
  for (int k = 0; k < count; ++k) {
    const QStringList numbers =
        lines.value(3 + k).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    colors.push_back(
        MakeColor(numbers.value(0).toInt(), numbers.value(1).toInt(), numbers.value(2).toInt()));
  }
  return colors;
}

// Colour records straight from the bytes, starting at `offset`.
std::vector<ColorValue> Records(const QByteArray& bytes, qsizetype offset, int count) {
  std::vector<ColorValue> colors;
  for (int i = 0; i < count; ++i) {
    const auto* record = reinterpret_cast<const unsigned char*>(bytes.constData()) + offset + 3 * i;
    colors.push_back(MakeColor(record[0], record[1], record[2]));
  }
  return colors;
}

class CorpusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < kPaletteSize; ++i) palette_.SetEntryColor(i, kUntouched);
  }

  void Open(const QString& file) {
    const QString path = CorpusPath(file);
    if (file.startsWith("act/"))
      openACT(nullptr, palette_, path);
    else if (file.startsWith("gif/"))
      openGIF(nullptr, palette_, path);
    else
      openPAL(nullptr, palette_, path);
  }

  QStringList Warnings() const {
    QStringList texts;
    for (const DialogCall& call : dialogs_.CallsOf("message")) texts << call.text;
    return texts;
  }

  // How many entries were changed, when they are the first ones; -1 when the changed entries
  // are not the first ones.
  int ChangedLeadingEntries() const {
    int n = 0;
    while (n < kPaletteSize && palette_.GetEntryColor(n) != kUntouched) ++n;
    for (int i = n; i < kPaletteSize; ++i)
      if (palette_.GetEntryColor(i) != kUntouched) return -1;
    return n;
  }

  ScriptedDialogs dialogs_;
  PaletteDocument palette_;
};

TEST_F(CorpusTest, EveryFileIsListedInTheManifest) {
  TAVLO_SKIP_WITHOUT_CORPUS();
  QStringList listed;
  for (const CorpusRow& row : ReadManifest()) listed << row.file;
  for (const QString folder : {"pal", "act", "gif"}) {
    for (const QString& name : QDir(CorpusPath(folder)).entryList(QDir::Files))
      EXPECT_TRUE(listed.contains(folder + '/' + name)) << name.toStdString();
  }
}

TEST_F(CorpusTest, EachFileLoadsOrIsRejectedAsItShould) {
  TAVLO_SKIP_WITHOUT_CORPUS();
  int checked = 0;
  for (const CorpusRow& row : ReadManifest()) {
    if (!row.file.startsWith("pal/") && !row.file.startsWith("act/") &&
        !row.file.startsWith("gif/"))
      continue;
    SCOPED_TRACE(row.file.toStdString());
    SetUp();
    const qsizetype before = dialogs_.CallsOf("message").size();
    Open(row.file);
    const QStringList warnings = Warnings().mid(before);
    const QByteArray bytes = ReadBytes(CorpusPath(row.file));
    ++checked;

    // Files that the open command never hands to a reader are read as if it did.
    QString expectation = row.expectation;
    const qsizetype asPal = expectation.indexOf("read as PAL");
    if (asPal >= 0) expectation = expectation.mid(asPal);

    // A RIFF palette named .pal is read as the RIFF palette it is: records of red, green, blue
    // and a flags byte after the 24 bytes of RIFF header, chunk header, version and count.
    if (row.notes.startsWith("RIFF PAL")) {
      EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
      const int count = quint8(bytes[22]) | quint8(bytes[23]) << 8;
      ASSERT_EQ(ChangedLeadingEntries(), count);
      for (int i = 0; i < count; ++i) {
        const char* record = bytes.constData() + 24 + 4 * i;
        EXPECT_EQ(palette_.GetEntryColor(i),
                  MakeColor(quint8(record[0]), quint8(record[1]), quint8(record[2])))
            << i;
      }
      continue;
    }

    static const QRegularExpression accepted(QStringLiteral("accept: entries 0-(\\d+) replaced"));
    const QRegularExpressionMatch match = accepted.match(expectation);
    if (match.hasMatch() || expectation.contains("accept: all 256 entries")) {
      const int count = match.hasMatch() ? match.captured(1).toInt() + 1 : 256;
      EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
      ASSERT_EQ(ChangedLeadingEntries(), count);
      std::vector<ColorValue> expected;
      if (row.file.startsWith("pal/")) {
        expected = IndependentPal(bytes);
      } else if (row.file.startsWith("act/")) {
        expected = Records(bytes, 0, 256);
      } else {
        static const QRegularExpression table(QStringLiteral("global colour table of (\\d+)"));
        ASSERT_EQ(table.match(row.notes).captured(1).toInt(), count);
        expected = Records(bytes, 13, count);
      }
      ASSERT_EQ(expected.size(), size_t(count));
      for (int i = 0; i < count; ++i) EXPECT_EQ(palette_.GetEntryColor(i), expected[i]) << i;
    } else {
      EXPECT_EQ(ChangedLeadingEntries(), 0);
      QStringList expectedWarnings;
      if (expectation.contains("reject at line 1"))
        expectedWarnings << "This file is not a valid palette file from JASC. Terminating "
                            "operation.";
      else if (expectation.contains("reject at line 3") || expectation.contains("count line"))
        expectedWarnings << "This files is not a valid palette file from JASC. Terminating "
                            "operation.";
      else if (expectation.contains("not a valid PhotoShop ACT file"))
        expectedWarnings << "This is not a valid PhotoShop ACT file!";
      else
        ASSERT_TRUE(expectation.contains("no change, no message")) << expectation.toStdString();
      EXPECT_EQ(warnings, expectedWarnings);
    }
  }
  EXPECT_EQ(checked, 47 + 12 + 36);
}

TEST_F(CorpusTest, SamePaletteAsActAndAsPalGivesTheSameColors) {
  TAVLO_SKIP_WITHOUT_CORPUS();
  openACT(nullptr, palette_, CorpusPath("act/zxnext_bmp_tools__zxnext-palette-256.act"));
  const PaletteColors fromAct = palette_.Colors();
  SetUp();
  openPAL(nullptr, palette_, CorpusPath("pal/zxnext_bmp_tools__zxnext-palette-256.pal"));
  EXPECT_EQ(palette_.Colors(), fromAct);
}

TEST_F(CorpusTest, LineEndsDoNotChangeTheColors) {
  TAVLO_SKIP_WITHOUT_CORPUS();
  openPAL(nullptr, palette_, CorpusPath("pal/pokefirered__graphics_contest_interface.pal"));
  const PaletteColors fromCrLf = palette_.Colors();
  SetUp();
  openPAL(nullptr, palette_,
          CorpusPath("pal/pokefirered__graphics_contest_interface__git-blob-LF.pal"));
  EXPECT_EQ(palette_.Colors(), fromCrLf);
}

}  // namespace
}  // namespace tavlo::testing
