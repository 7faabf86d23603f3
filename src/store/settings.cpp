#include "store/settings.h"

#include <QDir>

#include "store/process_state.h"
#include "store/settings_store.h"

namespace tavlo {

QString ReadKey(const keys::Key& key, const QString& defaultValue) {
  return ReadSetting(Process().settingsPath, QString::fromLatin1(key.section),
                     QString::fromLatin1(key.name), defaultValue);
}

bool WriteKey(const keys::Key& key, const QString& value) {
  return WriteSetting(Process().settingsPath, QString::fromLatin1(key.section),
                      QString::fromLatin1(key.name), value);
}

bool KeyExists(const keys::Key& key) {
  return SettingExists(Process().settingsPath, QString::fromLatin1(key.section),
                       QString::fromLatin1(key.name));
}

QString ReadDirectory(const keys::Key& key) {
  const QString directory = ReadKey(key, QString());
  return directory.isEmpty() ? QDir::currentPath() : directory;
}

void EnsureTrailingSeparator(QString& directory) {
  if (!directory.endsWith(QLatin1Char('/'))) directory += QLatin1Char('/');
}

}  // namespace tavlo
