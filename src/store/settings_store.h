#pragma once
// The settings file: an INI file read and written one key per access, with no cache, so that
// what the file holds is always what the program last wrote (or another copy of it did).
#include <QString>
#include <functional>
#include <utility>
#include <vector>

namespace tavlo {

// The value of key in section of file, or `defaultValue` when file, section or key is missing.
// The whole stored value comes back, however long.
QString ReadSetting(const QString& file, const QString& section, const QString& key,
                    const QString& defaultValue);
QString ReadSetting(const QString& file, const QString& section, const QString& key,
                    int defaultValue);
// True when the file holds the key in the section, whatever its value.
bool SettingExists(const QString& file, const QString& section, const QString& key);

// Stores the value, creating file, section and key as needed and keeping every other line.
// The file is replaced atomically. Returns false when it could not be written (the caller may
// ignore that: the program runs on with the values it has).
bool WriteSetting(const QString& file, const QString& section, const QString& key,
                  const QString& value);

// Several keys of one section stored in one replacement of the file, in the given order, as if by
// WriteSetting one after the other.
bool WriteSettings(const QString& file, const QString& section,
                   const std::vector<std::pair<QString, QString>>& keysAndValues);

// False only when the file is known not to be there; a file that exists but cannot be read, or
// whose directory is missing, counts as present (the loaders then fail on their own terms).
bool FileExists(const QString& path);

// Where the settings file lives: <executable's directory>/<base name>.ini, or, when that
// directory cannot be written, <configDir>/<base name>.ini.
QString ChooseSettingsPath(const QString& executablePath, const QString& configDir,
                           const std::function<bool(const QString& dir)>& isWritableDir);

// ChooseSettingsPath for the running program, with a real write probe of its directory.
QString GetSettingsPath();

}  // namespace tavlo
