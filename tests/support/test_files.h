#pragma once
// Small helpers for tests that read and write real files.
#include <QByteArray>
#include <QString>

namespace tavlo::testing {

QByteArray ReadBytes(const QString& path);
void WriteBytes(const QString& path, const QByteArray& bytes);
// Path of a file of the shared real-world corpus, e.g. "pal/x.pal".
QString CorpusPath(const QString& relative);
// True when the shared corpus is there: beside the project, as CI lays it out; a bare clone has
// none.
bool CorpusAvailable();

}  // namespace tavlo::testing

// Skips the running test, with the reason, when the shared corpus is not there.
#define TAVLO_SKIP_WITHOUT_CORPUS()                \
  if (::tavlo::testing::CorpusAvailable()) {       \
  } else                                           \
    GTEST_SKIP() << "the shared corpus is not at " \
                 << ::tavlo::testing::CorpusPath(QString()).toStdString()
