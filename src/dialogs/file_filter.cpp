#include "dialogs/file_filter.h"

#include <QFileInfo>

namespace tavlo {

QStringList ToNameFilters(const QString& filter) {
  const QStringList fields = filter.split(QLatin1Char('|'));
  QStringList result;
  for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
    const QString patterns = fields[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(' ');
    result << QStringLiteral("%1 (%2)").arg(fields[i], patterns);
  }
  return result;
}

ChosenFile SplitChosenPath(const QString& fullPath) {
  const qsizetype slash = fullPath.lastIndexOf(QLatin1Char('/'));
  if (slash < 0) return {QString(), fullPath};
  return {fullPath.left(slash + 1), fullPath.mid(slash + 1)};
}

}  // namespace tavlo
