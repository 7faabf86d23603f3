#pragma once
// The recent-pictures list: stored in section Recent of the settings file (RecentFile1 the most
// recent, one key more than RecentMax kept) and mirrored into the File menu's four slots. The
// list is ordered by first opening: a name already on the menu stays where it is.
#include <QString>
#include <QStringList>
#include <array>

class QAction;

namespace tavlo::recent {

// The menu has four entry slots, whatever RecentMax says.
inline constexpr int kMenuSlots = 4;

// The number of menu slots that take part for a RecentMax: 0..4.
int ShownSlots(int recentMax);

// Shifts the stored list down one key (RecentMax down to 1, empty keys skipped, not moved) and
// stores `name` as RecentFile1. Touches only the settings file.
void WriteRecentFiles(const QString& name, int recentMax);

// True when `name` equals, character by character, one of the first ShownSlots(recentMax)
// entries of `captions` (the paths on menu slots 1..4).
bool OnRecentFilesList(const QStringList& captions, const QString& name, int recentMax);

// The menu side: slot 0 is the separator, 1..4 the entries. A slot's path is kept as its data;
// its text shows the path with "&" doubled, so that an ampersand shows as itself.
using MenuSlots = std::array<QAction*, 5>;
QString SlotPath(const QAction* slot);
QStringList SlotPaths(const MenuSlots& items);

// Rebuilds the slots from the settings file: nothing when RecentFile1 is empty; otherwise the
// separator shows and each slot takes its key's path, becoming visible when that is not empty
// (slots are never hidden again).
void GetRecentFiles(const MenuSlots& items, int recentMax);

// Enters a picture that was just opened: written to the settings file unless already on the
// menu, then the menu is rebuilt.
void UpdateFileMenu(const MenuSlots& items, const QString& name, int recentMax);

}  // namespace tavlo::recent
