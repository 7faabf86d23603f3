#include "dialogs/file_filter.h"

namespace tavlo {

QStringList ToNameFilters(const QString& filter) {
  QStringList fields = filter.split(QLatin1Char('|'));
  const qsizetype firstEmpty = fields.indexOf(QString());
  if (firstEmpty >= 0) fields.resize(firstEmpty);
  QStringList result;
  for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
    QStringList patterns = fields[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns)
      if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
    result << QStringLiteral("%1 (%2)").arg(fields[i], patterns.join(QLatin1Char(' ')));
  }
  return result;
}

ChosenFile SplitChosenPath(const QString& fullPath) {
  const qsizetype slash = fullPath.lastIndexOf(QLatin1Char('/'));
  if (slash < 0) return {QString(), fullPath};
  return {fullPath.left(slash + 1), fullPath.mid(slash + 1)};
}

}  // namespace tavlo
