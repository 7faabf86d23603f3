#include "store/settings_store.h"

#include <sys/stat.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <cerrno>

#include "store/atomic_file.h"
#include "store/ini_text.h"

namespace tavlo {
namespace {

QByteArray ReadWholeFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

bool CanCreateFilesIn(const QString& dir) {
  if (!QFileInfo(dir).isDir()) return false;
  QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".tavlo-probe-XXXXXX")));
  return probe.open();
}

}  // namespace

QString ReadSetting(const QString& file, const QString& section, const QString& key,
                    const QString& defaultValue) {
  const QByteArray text = ReadWholeFile(file);
  const auto value = ini::FindValue(text, section.toUtf8(), key.toUtf8());
  return value ? QString::fromUtf8(*value) : defaultValue;
}

QString ReadSetting(const QString& file, const QString& section, const QString& key,
                    int defaultValue) {
  return ReadSetting(file, section, key, QString::number(defaultValue));
}

bool SettingExists(const QString& file, const QString& section, const QString& key) {
  return ini::FindValue(ReadWholeFile(file), section.toUtf8(), key.toUtf8()).has_value();
}

bool WriteSetting(const QString& file, const QString& section, const QString& key,
                  const QString& value) {
  return WriteSettings(file, section, {{key, value}});
}

bool WriteSettings(const QString& file, const QString& section,
                   const std::vector<std::pair<QString, QString>>& keysAndValues) {
  if (file.isEmpty()) return false;
  QByteArray text = ReadWholeFile(file);
  for (const auto& [key, value] : keysAndValues) {
    // Line breaks inside a value would split it into other keys; store it on one line.
    QByteArray flat = value.toUtf8();
    flat.replace('\r', ' ').replace('\n', ' ');
    text = ini::WithValue(text, section.toUtf8(), key.toUtf8(), flat);
  }
  return WriteFileAtomically(file, text).ok;
}

bool FileExists(const QString& path) {
  struct stat info;
  if (::stat(QFile::encodeName(path).constData(), &info) == 0) return true;
  // Only "no such file" in a directory that exists means missing.
  if (errno != ENOENT) return true;
  const QString dir = QFileInfo(path).absolutePath();
  return !QFileInfo(dir).isDir();
}

QString ChooseSettingsPath(const QString& executablePath, const QString& configDir,
                           const std::function<bool(const QString& dir)>& isWritableDir) {
  const QFileInfo exe(executablePath);
  const QString name = exe.completeBaseName() + QStringLiteral(".ini");
  const QString exeDir = exe.absolutePath();
  if (isWritableDir(exeDir)) return QDir(exeDir).filePath(name);
  QDir().mkpath(configDir);
  return QDir(configDir).filePath(name);
}

QString GetSettingsPath() {
  return ChooseSettingsPath(QCoreApplication::applicationFilePath(),
                            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
                            CanCreateFilesIn);
}

}  // namespace tavlo
