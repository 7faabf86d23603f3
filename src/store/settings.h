#pragma once
// Typed access to the settings file of the running program (ProcessState's SettingsPath).
#include <QString>

#include "store/settings_keys.h"

namespace tavlo {

QString ReadKey(const keys::Key& key, const QString& defaultValue = {});
bool WriteKey(const keys::Key& key, const QString& value);
bool KeyExists(const keys::Key& key);

// A directory setting: the stored one, or the current directory when none is stored.
QString ReadDirectory(const keys::Key& key);

// `directory` ending in the path separator, as the dialogs give directories back.
void EnsureTrailingSeparator(QString& directory);

}  // namespace tavlo
