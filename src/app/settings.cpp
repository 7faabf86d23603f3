#include "app/settings.h"

#include "app/process_state.h"
#include "app/settings_store.h"

namespace tavlo {

QString ReadKey(const keys::Key& key, const QString& defaultValue) {
  return ReadSetting(Process().settingsPath, QString::fromLatin1(key.section),
                     QString::fromLatin1(key.name), defaultValue);
}

bool WriteKey(const keys::Key& key, const QString& value) {
  return WriteSetting(Process().settingsPath, QString::fromLatin1(key.section),
                      QString::fromLatin1(key.name), value);
}

QString ReadDirectory(const keys::Key& key) {
  return ReadKey(key, QString());
}

}  // namespace tavlo
