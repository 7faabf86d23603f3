#pragma once
// Typed access to the settings file of the running program (ProcessState's SettingsPath).
#include <QString>

#include "app/settings_keys.h"

namespace tavlo {

QString ReadKey(const keys::Key& key, const QString& defaultValue = {});
bool WriteKey(const keys::Key& key, const QString& value);

// A directory setting: empty when none is stored.
QString ReadDirectory(const keys::Key& key);

}  // namespace tavlo
