#include "cli/output_files.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include "cli/cli_io.h"
#include "store/atomic_file.h"

namespace tavlo::cli {
namespace {

// A link that points nowhere counts as existing: writing through it would create its target.
bool Exists(const QFileInfo& file) {
  return file.exists() || file.isSymLink();
}

// One name per file however the user spelled it: the file itself for one that exists, the
// cleaned absolute path otherwise.
QString Identity(const QString& path) {
  const QFileInfo file(path);
  const QString canonical = file.canonicalFilePath();
  return canonical.isEmpty() ? QDir::cleanPath(file.absoluteFilePath()) : canonical;
}

}  // namespace

QString OutputNamed(const QString& input, const QString& folder, const QString& suffix) {
  const QFileInfo file(input);
  return QDir(folder.isEmpty() ? file.path() : folder).filePath(file.completeBaseName() + suffix);
}

QString OutputFolderProblem(const QString& folder) {
  if (folder.isEmpty() || QFileInfo(folder).isDir()) return {};
  return QFileInfo::exists(folder) ? QStringLiteral("is not a folder")
                                   : QStringLiteral("no such folder");
}

QString ExistsAlready(const QString& path) {
  return QStringLiteral("%1 exists already (--force replaces it)").arg(ShownPath(path));
}

QStringList RefusedOutputs(const QStringList& inputs, const QStringList& outputs, bool force) {
  QHash<QString, qsizetype> inputAt;
  for (qsizetype i = 0; i < inputs.size(); ++i) inputAt.insert(Identity(inputs[i]), i);
  QHash<QString, qsizetype> claimedBy;
  QStringList refused;
  for (qsizetype i = 0; i < outputs.size(); ++i) {
    const QString output = Identity(outputs[i]);
    const auto input = inputAt.constFind(output);
    const auto claim = claimedBy.constFind(output);
    if (input != inputAt.cend() && *input != i) {
      refused << QStringLiteral("%1 would replace the input %2 of this run")
                     .arg(ShownPath(outputs[i]), ShownPath(inputs[*input]));
    } else if (claim != claimedBy.cend()) {
      refused << QStringLiteral("%1 is the output of %2 already")
                     .arg(ShownPath(outputs[i]), ShownPath(inputs[*claim]));
    } else if (!force && input != inputAt.cend()) {
      // Said apart from any other existing file: --force would put the output in its place.
      refused << QStringLiteral("%1 is the input file itself (--force replaces it with the output)")
                     .arg(ShownPath(outputs[i]));
    } else if (!force && Exists(QFileInfo(outputs[i]))) {
      refused << ExistsAlready(outputs[i]);
    } else {
      refused << QString();
    }
    if (refused.last().isEmpty()) claimedBy.insert(output, i);
  }
  return refused;
}

QString WriteOutput(const QString& path, const QByteArray& bytes, bool force) {
  if (!force && Exists(QFileInfo(path))) return ExistsAlready(path);
  const WriteResult written = WriteFileAtomically(path, bytes);
  if (written) return {};
  return QStringLiteral("%1 could not be written: %2").arg(ShownPath(path), written.error);
}

}  // namespace tavlo::cli
