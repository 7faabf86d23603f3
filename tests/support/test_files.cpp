#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

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
  return QStringLiteral(TAVLO_CORPUS_DIR "/") + relative;
}

bool CorpusAvailable() {
  return QFileInfo(CorpusPath(QStringLiteral("MANIFEST.tsv"))).isFile();
}

}  // namespace tavlo::testing
