#include "app/recent_files.h"

#include <QAction>
#include <algorithm>

#include "store/process_state.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"

namespace tavlo::recent {
namespace {

QString ReadRecent(int i) {
  return ReadSetting(Process().settingsPath, QString::fromLatin1(keys::kRecentSection),
                     keys::RecentFileKey(i), QString());
}

}  // namespace

int ShownSlots(int recentMax) {
  return std::clamp(recentMax, 0, kMenuSlots);
}

void WriteRecentFiles(const QString& name, int recentMax) {
  // Every entry moves down one place, the last one first; one replacement of the file for all.
  std::vector<std::pair<QString, QString>> moved;
  for (int i = recentMax; i >= 1; --i) {
    const QString value = ReadRecent(i);
    if (!value.isEmpty()) moved.emplace_back(keys::RecentFileKey(i + 1), value);
  }
  moved.emplace_back(keys::RecentFileKey(1), name);
  WriteSettings(Process().settingsPath, QString::fromLatin1(keys::kRecentSection), moved);
}

bool OnRecentFilesList(const QStringList& captions, const QString& name, int recentMax) {
  const int shown = std::min<int>(ShownSlots(recentMax), int(captions.size()));
  for (int i = 0; i < shown; ++i)
    if (captions[i] == name) return true;
  return false;
}

QString SlotPath(const QAction* slot) {
  return slot->data().toString();
}

QStringList SlotPaths(const MenuSlots& items) {
  QStringList paths;
  for (int i = 1; i <= kMenuSlots; ++i) paths << SlotPath(items[i]);
  return paths;
}

void GetRecentFiles(const MenuSlots& items, int recentMax) {
  if (ReadRecent(1).isEmpty()) return;
  items[0]->setVisible(true);
  for (int i = 1; i <= ShownSlots(recentMax); ++i) {
    const QString path = ReadRecent(i);
    items[i]->setData(path);
    items[i]->setText(QString(path).replace(QLatin1Char('&'), QStringLiteral("&&")));
    if (!path.isEmpty()) items[i]->setVisible(true);
  }
}

void UpdateFileMenu(const MenuSlots& items, const QString& name, int recentMax) {
  if (!OnRecentFilesList(SlotPaths(items), name, recentMax)) WriteRecentFiles(name, recentMax);
  GetRecentFiles(items, recentMax);
}

}  // namespace tavlo::recent
