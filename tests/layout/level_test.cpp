// The module table of src/README.md against the sources and the build: a file belongs to the
// module of its first folder; no include upwards or of a module the row may not use, no Qt header
// of a Qt module the row does not name, and each folder's build links what its row uses.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <map>
#include <optional>
#include <vector>

#include "support/build_paths.h"

namespace tavlo::testing {
namespace {

struct ModuleRow {
  int level = 0;
  QStringList uses;  // folders, as the table names them
  QStringList qtModules;
};

using ModuleTable = std::map<QString, ModuleRow>;  // by folder name

QStringList FolderNames(const QString& cell) {
  static const QRegularExpression folder(QStringLiteral("`([a-z_]+)/`"));
  QStringList names;
  for (auto it = folder.globalMatch(cell); it.hasNext();) names << it.next().captured(1);
  return names;
}

// The rows of the table: "| `folder/` | level | holds | uses | Qt |".
ModuleTable ReadTable(const QString& readme) {
  ModuleTable rows;
  static const QRegularExpression qtName(QStringLiteral("\\bQt[A-Za-z]+\\b"));
  for (const QString& line : readme.split('\n')) {
    const QStringList cells = line.split('|');
    bool isLevel = false;
    if (cells.size() < 7) continue;
    const int level = cells[2].trimmed().toInt(&isLevel);
    const QStringList folder = FolderNames(cells[1]);
    if (!isLevel || folder.size() != 1) continue;
    ModuleRow row{level, FolderNames(cells[4]), {}};
    for (auto it = qtName.globalMatch(cells[5]); it.hasNext();)
      row.qtModules << it.next().captured();
    rows[folder[0]] = row;
  }
  return rows;
}

// What a module may use: what its row names and what those use in turn.
QStringList MayUse(const ModuleTable& rows, const QString& folder) {
  QStringList reached;
  QStringList open = {folder};
  while (!open.isEmpty()) {
    const auto row = rows.find(open.takeLast());
    if (row == rows.end()) continue;
    for (const QString& used : row->second.uses) {
      if (reached.contains(used)) continue;
      reached << used;
      open << used;
    }
  }
  return reached;
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

QString FolderOf(const QString& path) {
  return path.section('/', 0, 0);
}

// Every include that breaks the table, one line each.
QStringList LayoutViolations(const ModuleTable& rows, const std::vector<SourceFile>& files) {
  static const QRegularExpression include(
      QStringLiteral("^\\s*#\\s*include\\s*([<\"])([^>\"]+)[>\"]"),
      QRegularExpression::MultilineOption);
  QStringList violations;
  for (const SourceFile& file : files) {
    const QString folder = FolderOf(file.path);
    const auto row = rows.find(folder);
    if (row == rows.end()) {
      violations << file.path + " belongs to no row of the table";
      continue;
    }
    const QStringList mayUse = MayUse(rows, folder);
    for (auto it = include.globalMatch(file.text); it.hasNext();) {
      const auto match = it.next();
      const QString target = match.captured(2);
      if (match.captured(1) == QLatin1String("\"")) {
        const auto used = rows.find(FolderOf(target));
        if (!target.contains('/') || used == rows.end() || used->first == folder) continue;
        if (used->second.level > row->second.level)
          violations << QStringLiteral("%1 (level %2) includes %3 (level %4)")
                            .arg(file.path)
                            .arg(row->second.level)
                            .arg(target)
                            .arg(used->second.level);
        else if (!mayUse.contains(used->first))
          violations << QStringLiteral("%1 includes %2 of a module %3/ does not use")
                            .arg(file.path, target, folder);
      } else if (const auto qt = QtModuleOf(target); qt && !row->second.qtModules.contains(*qt)) {
        violations
            << QStringLiteral("%1 (%2/) includes <%3> of %4").arg(file.path, folder, target, *qt);
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
  const QDir src(QString::fromUtf8(SourceDir()));
  QDirIterator it(src.path(), {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = src.relativeFilePath(it.next());
    if (path.contains('/')) files.push_back({path, ReadText(src.filePath(path))});
  }
  return files;
}

// The folders whose libraries a folder's CMakeLists.txt links: tavlo_<folder>, and tavlo_color
// for colorlib/.
QStringList LinkedFolders(const QString& folder) {
  static const QRegularExpression call(QStringLiteral("target_link_libraries\\(([^)]*)\\)"));
  static const QRegularExpression library(QStringLiteral("\\btavlo_([a-z_]+)"));
  const QString text = ReadText(QString::fromUtf8(SourceDir()) + u'/' + folder + "/CMakeLists.txt");
  QStringList linked;
  for (auto calls = call.globalMatch(text); calls.hasNext();) {
    const QString arguments = calls.next().captured(1);
    auto names = library.globalMatch(arguments);
    if (names.hasNext()) names.next();  // the library being linked
    while (names.hasNext()) {
      const QString name = names.next().captured(1);
      linked << (name == QLatin1String("color") ? QStringLiteral("colorlib") : name);
    }
  }
  linked.sort();
  return linked;
}

class LevelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rows_ = ReadTable(ReadText(QString::fromUtf8(SourceDir()) + QStringLiteral("/README.md")));
    ASSERT_GE(rows_.size(), 10u) << "the module table of src/README.md was not found";
  }
  ModuleTable rows_;
};

TEST_F(LevelTest, NoModuleIncludesAHigherLevelOrAnotherQtModule) {
  const std::vector<SourceFile> files = ReadSources();
  ASSERT_GT(files.size(), 50u);
  const QStringList violations = LayoutViolations(rows_, files);
  EXPECT_TRUE(violations.isEmpty()) << violations.join('\n').toStdString();
}

TEST_F(LevelTest, AnIncludeUpwardsOrOfWidgetsBelowIsCaught) {
  const std::vector<SourceFile> files = {
      {"palette_model/palette_document.h",
       "#include <QObject>\n#include \"palette_window/palette_window.h\"\n"},
      {"palette_window/palette_window.h", "#include <QWidget>\n#include \"base/color_value.h\"\n"},
      {"formats/act_format.cpp",
       "  #  include <QWidget>\n#include \"version.h\"\n#include \"store/settings.h\"\n"},
      {"stray/file.h", ""},
  };
  EXPECT_EQ(LayoutViolations(rows_, files),
            QStringList({"palette_model/palette_document.h (level 1) includes "
                         "palette_window/palette_window.h (level 2)",
                         "formats/act_format.cpp (formats/) includes <QWidget> of QtWidgets",
                         "formats/act_format.cpp includes store/settings.h of a module formats/ "
                         "does not use",
                         "stray/file.h belongs to no row of the table"}));
}

TEST_F(LevelTest, EachFolderIsAModuleThatLinksWhatItsRowUses) {
  const QDir src(QString::fromUtf8(SourceDir()));
  for (const QString& folder : src.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    const auto row = rows_.find(folder);
    ASSERT_NE(row, rows_.end()) << folder.toStdString() << "/ has no row in src/README.md";
    QStringList uses = row->second.uses;
    uses.sort();
    EXPECT_EQ(LinkedFolders(folder), uses) << folder.toStdString();
  }
  for (const auto& [folder, row] : rows_)
    EXPECT_TRUE(src.exists(folder)) << folder.toStdString() << "/ has a row but no folder";
}

}  // namespace
}  // namespace tavlo::testing
