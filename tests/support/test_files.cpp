#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "support/build_paths.h"

namespace tavlo::testing {

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  ASSERT_EQ(file.write(bytes), bytes.size());
}

QString CorpusPath(const QString& relative) {
  return QString::fromUtf8(CorpusDir()) + u'/' + relative;
}

bool CorpusAvailable() {
  return QFileInfo(CorpusPath(QStringLiteral("MANIFEST.tsv"))).isFile();
}

}  // namespace tavlo::testing
