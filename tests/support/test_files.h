#pragma once
// Small helpers for tests that read and write real files.
#include <QByteArray>
#include <QString>

namespace tavlo::testing {

QByteArray ReadBytes(const QString& path);
void WriteBytes(const QString& path, const QByteArray& bytes);
// Path of a file of the shared real-world corpus, e.g. "pal/x.pal".
QString CorpusPath(const QString& relative);

}  // namespace tavlo::testing
