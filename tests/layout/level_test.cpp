// The module table of src/README.md against the sources and the build: no include upwards, no Qt
// header of a Qt module a row does not name, and every file in the module its row names.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <map>
#include <optional>
#include <vector>

namespace tavlo::testing {
namespace {

struct ModuleRow {
  int level = 0;
  QString module;
  QStringList patterns;  // "dir/" or a wildcard of paths relative to src/
  QStringList qtModules;
};

// The rows of the table: the lines starting with "| <number> |".
std::vector<ModuleRow> ReadTable(const QString& readme) {
  std::vector<ModuleRow> rows;
  static const QRegularExpression quoted(QStringLiteral("`([^`]+)`"));
  static const QRegularExpression qtName(QStringLiteral("\\bQt[A-Za-z]+\\b"));
  for (const QString& line : readme.split('\n')) {
    const QStringList cells = line.split('|');
    bool isLevel = false;
    if (cells.size() < 6) continue;
    const int level = cells[1].trimmed().toInt(&isLevel);
    if (!isLevel) continue;
    ModuleRow row{level, quoted.match(cells[2]).captured(1), {}, {}};
    for (auto it = quoted.globalMatch(cells[3]); it.hasNext();)
      row.patterns << it.next().captured(1);
    for (auto it = qtName.globalMatch(cells[5]); it.hasNext();)
      row.qtModules << it.next().captured();
    rows.push_back(row);
  }
  return rows;
}

// The row of a file: a pattern naming files beats a whole folder; two of a kind are an error.
struct RowLookup {
  const ModuleRow* row = nullptr;
  QString error;
};

RowLookup RowOf(const std::vector<ModuleRow>& rows, const QString& path) {
  const ModuleRow* byName = nullptr;
  const ModuleRow* byFolder = nullptr;
  const QString folder = path.left(path.lastIndexOf('/') + 1);
  for (const ModuleRow& row : rows) {
    for (const QString& pattern : row.patterns) {
      if (pattern.endsWith('/')) {
        if (pattern != folder) continue;
        if (byFolder && byFolder != &row) return {nullptr, path + " is in two folder rows"};
        byFolder = &row;
      } else if (QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern))
                     .match(path)
                     .hasMatch()) {
        if (byName && byName != &row) return {nullptr, path + " is named by two rows"};
        byName = &row;
      }
    }
  }
  if (byName) return {byName, {}};
  if (byFolder) return {byFolder, {}};
  return {nullptr, path + " belongs to no row of the table"};
}

// The Qt module a header of an #include <...> belongs to, or nothing for a header of no Qt module.
std::optional<QString> QtModuleOf(const QString& header) {
  static const QString root = QLibraryInfo::path(QLibraryInfo::HeadersPath);
  static const QStringList modules = QDir(root).entryList({"Qt*"}, QDir::Dirs);
  const qsizetype slash = header.indexOf('/');
  if (slash > 0 && modules.contains(header.left(slash))) return header.left(slash);
  if (!header.startsWith('Q') || slash >= 0) return std::nullopt;
  for (const QString& module : modules)
    if (QFile::exists(root + '/' + module + '/' + header)) return module;
  return std::nullopt;
}

struct SourceFile {
  QString path;  // relative to src/
  QString text;
};

// Every include that breaks the table, one line each.
QStringList LayoutViolations(const std::vector<ModuleRow>& rows,
                             const std::vector<SourceFile>& files) {
  static const QRegularExpression include(
      QStringLiteral("^\\s*#\\s*include\\s*([<\"])([^>\"]+)[>\"]"),
      QRegularExpression::MultilineOption);
  std::map<QString, const ModuleRow*> rowOf;
  QStringList violations;
  for (const SourceFile& file : files) {
    const RowLookup lookup = RowOf(rows, file.path);
    if (!lookup.row) violations << lookup.error;
    rowOf[file.path] = lookup.row;
  }
  for (const SourceFile& file : files) {
    const ModuleRow* row = rowOf[file.path];
    if (!row) continue;
    for (auto it = include.globalMatch(file.text); it.hasNext();) {
      const auto match = it.next();
      const QString target = match.captured(2);
      if (match.captured(1) == QLatin1String("\"")) {
        const auto found = rowOf.find(target);
        if (found == rowOf.end() || !found->second) continue;  // generated or outside src/
        if (found->second->level > row->level)
          violations << QStringLiteral("%1 (level %2) includes %3 (level %4)")
                            .arg(file.path)
                            .arg(row->level)
                            .arg(target)
                            .arg(found->second->level);
      } else if (const auto qt = QtModuleOf(target); qt && !row->qtModules.contains(*qt)) {
        violations << QStringLiteral("%1 (%2) includes <%3> of %4")
                          .arg(file.path, row->module, target, *qt);
      }
    }
  }
  return violations;
}

QString ReadText(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The modules' files, relative to src/; files at the top of src/ belong to the build itself.
std::vector<SourceFile> ReadSources() {
  std::vector<SourceFile> files;
  const QDir src(QStringLiteral(TAVLO_SOURCE_DIR));
  QDirIterator it(src.path(), {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = src.relativeFilePath(it.next());
    if (path.contains('/')) files.push_back({path, ReadText(src.filePath(path))});
  }
  return files;
}

class LevelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rows_ = ReadTable(ReadText(QStringLiteral(TAVLO_SOURCE_DIR "/README.md")));
    ASSERT_GE(rows_.size(), 10u) << "the module table of src/README.md was not found";
  }
  std::vector<ModuleRow> rows_;
};

TEST_F(LevelTest, NoModuleIncludesAHigherLevelOrAnotherQtModule) {
  const std::vector<SourceFile> files = ReadSources();
  ASSERT_GT(files.size(), 50u);
  const QStringList violations = LayoutViolations(rows_, files);
  EXPECT_TRUE(violations.isEmpty()) << violations.join('\n').toStdString();
}

TEST_F(LevelTest, AnIncludeUpwardsOrOfWidgetsBelowIsCaught) {
  const std::vector<SourceFile> files = {
      {"palette/palette_document.h", "#include <QObject>\n#include \"palette/palette_window.h\"\n"},
      {"palette/palette_window.h", "#include <QWidget>\n#include \"palette/color_value.h\"\n"},
      {"palette/color_value.h", "#include <array>\n"},
      {"formats/act_format.cpp", "  #  include <QWidget>\n#include \"version.h\"\n"},
      {"stray/file.h", ""},
  };
  EXPECT_EQ(
      LayoutViolations(rows_, files),
      QStringList({"stray/file.h belongs to no row of the table",
                   "palette/palette_document.h (level 1) includes palette/palette_window.h "
                   "(level 2)",
                   "formats/act_format.cpp (tavlo_formats) includes <QWidget> of QtWidgets"}));
}

TEST_F(LevelTest, TheBuildPutsEveryFileInTheModuleOfItsRow) {
  const QString listing = ReadText(QStringLiteral(TAVLO_MODULE_SOURCES));
  ASSERT_FALSE(listing.isEmpty()) << TAVLO_MODULE_SOURCES;
  const QDir src(QStringLiteral(TAVLO_SOURCE_DIR));
  int checked = 0;
  for (const QString& line : listing.split('\n', Qt::SkipEmptyParts)) {
    const QString module = line.section(QStringLiteral(": "), 0, 0);
    for (const QString& source : line.section(QStringLiteral(": "), 1).split(';')) {
      const QString path = src.relativeFilePath(source);
      if (path.startsWith(QLatin1String("..")) || !path.contains('/')) continue;
      const RowLookup lookup = RowOf(rows_, path);
      ASSERT_TRUE(lookup.row) << lookup.error.toStdString();
      EXPECT_EQ(lookup.row->module, module) << path.toStdString();
      ++checked;
    }
  }
  EXPECT_GT(checked, 50);
}

}  // namespace
}  // namespace tavlo::testing
