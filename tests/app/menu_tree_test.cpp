#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "store/process_state.h"
#include "support/app_fixture.h"

namespace tavlo::testing {
namespace {

class MenuTreeTest : public AppFixture {
 protected:
  QStringList NamesOf(const QList<QAction*>& actions) {
    QStringList names;
    for (QAction* a : actions) names << a->objectName();
    return names;
  }
};

TEST_F(MenuTreeTest, MenuBarHoldsFiveMenusAndTwoCommands) {
  StartApp();
  const QList<QAction*> bar = Main().menuBar()->actions();
  ASSERT_EQ(bar.size(), 7);
  EXPECT_EQ(NamesOf(bar), QStringList({"mnuFile", "mnuEdit", "mnuPalette", "mnuOptimize", "mnuZoom",
                                       "mnuTest", "mnuHelpSel"}));
  const QStringList captions = {"&File", "&Edit",    "&Palette", "&Optimize",
                                "&Zoom", "P&review", "&About"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(bar[i]->text(), captions[i]);
  EXPECT_EQ(bar[5]->menu(), nullptr);
  EXPECT_EQ(bar[6]->menu(), nullptr);
}

TEST_F(MenuTreeTest, EditMenuStartsWithNothingToUndoOrRedoOrRestore) {
  StartApp();
  const QList<QAction*> edit = Main().findChild<QMenu*>("mnuEdit")->actions();
  ASSERT_EQ(edit.size(), 7);
  EXPECT_EQ(NamesOf(edit), QStringList({"mnuUndo", "mnuRedo", "mnuEditSep1", "mnuCopyColor",
                                        "mnuPasteColor", "mnuEditSep2", "mnuRestoreSession"}));
  EXPECT_EQ(edit[0]->text(), "&Undo");
  EXPECT_EQ(edit[0]->shortcuts(),
            QList<QKeySequence>({QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}));
  EXPECT_EQ(edit[1]->text(), "&Redo");
  EXPECT_EQ(edit[1]->shortcuts(),
            QList<QKeySequence>({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}));
  EXPECT_EQ(edit[3]->shortcut(), QKeySequence("Ctrl+C"));
  EXPECT_EQ(edit[4]->shortcut(), QKeySequence("Ctrl+V"));
  EXPECT_EQ(edit[6]->text(), "Restore last session's palette");
  EXPECT_TRUE(edit[6]->shortcut().isEmpty());
  for (int i : {0, 1, 6}) EXPECT_FALSE(edit[i]->isEnabled()) << i;
}

// Alt and a letter opens one menu of the bar, and a letter picks one item of an open menu.
TEST_F(MenuTreeTest, NoMenuHasTwoItemsWithOneAccessKey) {
  StartApp();
  std::vector<const QWidget*> menus = {Main().menuBar()};
  for (const QMenu* menu : Main().findChildren<QMenu*>()) menus.push_back(menu);
  for (const QWidget* menu : menus) {
    QMap<QChar, QString> taken;
    for (const QAction* item : menu->actions()) {
      const QString text = QString(item->text()).replace(QStringLiteral("&&"), QString());
      const qsizetype amp = text.indexOf(QLatin1Char('&'));
      if (amp < 0 || amp + 1 >= text.size()) continue;
      const QChar key = text[amp + 1].toLower();
      EXPECT_FALSE(taken.contains(key))
          << menu->objectName().toStdString() << ": " << item->text().toStdString() << " and "
          << taken[key].toStdString();
      taken[key] = item->text();
    }
  }
}

TEST_F(MenuTreeTest, EveryItemHasItsCaptionShortcutAndPlace) {
  StartApp();
  const struct {
    const char* menu;
    const char* name;
    const char* caption;
    const char* shortcut;
  } table[] = {
      {"mnuFile", "mnu_OpenImage", "Open &image", "Ctrl+I"},
      {"mnuFile", "mnuSep1", "", ""},
      {"mnuFile", "mnu_op", "Open &palette", "Ctrl+P"},
      {"mnuFile", "mnu_sep2", "", ""},
      {"mnuFile", "mnu_s16", "&Save palette", "Ctrl+S"},
      {"mnuFile", "mnu_sep3", "", ""},
      {"mnuFile", "mnuQuit", "&Quit Tavlo", "Ctrl+Q"},
      {"mnuPalette", "mu_sort", "&Sort && Clean (very cheap:)", "Ctrl+Shift+O"},
      {"mnuPalette", "mnuCompress", "Compress (divide colors)", "Ctrl+F2"},
      {"mnuPalette", "mnu_cv2ws", "Convert to &websafe colors (ugly;)", "Ctrl+Shift+B"},
      {"mnuPalette", "mnu_cv2gs", "&Convert to greyscaled colors", "Ctrl+G"},
      {"mnuPalette", "mnu_sep4", "", ""},
      {"mnuPalette", "mnuShiftl", "Shift Palette &left", "Shift+Ins"},
      {"mnuPalette", "mnuShiftr", "Shift Palette &right", "Ctrl+Ins"},
      {"mnuPalette", "mnu_sep5", "", ""},
      {"mnuPalette", "mnu_d", "&Delete all entries", "Ctrl+D"},
      {"mnuOptimize", "mnuShowResult", "Show &result window", "Ctrl+R"},
      {"mnuOptimize", "mnuOptimizeSep1", "", ""},
      {"mnuOptimize", "mnuExportGif", "Export &GIF\u2026", ""},
      {"mnuOptimize", "mnuExportPng", "Export &PNG\u2026", ""},
      {"mnuOptimize", "mnuOptimizeSep2", "", ""},
      {"mnuOptimize", "mnuPaletteFromPicture", "Palette &from picture\u2026", ""},
      {"mnuOptimize", "mnuRemoveUnused", "Remove &unused entries\u2026", ""},
      {"mnuOptimize", "mnuMergeNear", "&Merge near colours\u2026", ""},
      {"mnuOptimize", "mnuReduceToTarget", "Reduce to &target\u2026", ""},
      {"mnuOptimize", "mnuUsePictureTable", "Use the picture's &colour table", ""},
      {"mnuZoom", "mnu5pixel", "&strong", ""},
      {"mnuZoom", "mnu10pixel", "&middel", ""},
      {"mnuZoom", "mnu15Pixel", "&low", ""},
  };
  QMap<QString, int> position;
  for (const auto& row : table) {
    QMenu* menu = Main().findChild<QMenu*>(row.menu);
    ASSERT_NE(menu, nullptr) << row.menu;
    const QList<QAction*> items = menu->actions();
    const int at = position[row.menu]++;
    ASSERT_LT(at, items.size()) << row.name;
    QAction* item = items[at];
    EXPECT_EQ(item->objectName(), row.name);
    EXPECT_EQ(item->isSeparator(), QByteArray(row.caption).isEmpty()) << row.name;
    if (!item->isSeparator()) {
      EXPECT_EQ(item->text(), QString::fromUtf8(row.caption)) << row.name;
    }
    EXPECT_EQ(item->shortcut(), QKeySequence(row.shortcut)) << row.name;
    EXPECT_TRUE(item->isEnabled()) << row.name;
    EXPECT_TRUE(item->isVisible()) << row.name;
  }
  // The File menu ends with the hidden recent-pictures group.
  const QList<QAction*> file = Main().findChild<QMenu*>("mnuFile")->actions();
  ASSERT_EQ(file.size(), 12);
  EXPECT_TRUE(file[7]->isSeparator());
  for (int i = 0; i <= 4; ++i) {
    EXPECT_EQ(file[7 + i], Main().RecentItem(i));
    EXPECT_EQ(file[7 + i]->objectName(), "mnuRecentFile");
    EXPECT_EQ(file[7 + i]->property("index").toInt(), i);
    EXPECT_FALSE(file[7 + i]->isVisible());
    if (i > 0) {
      EXPECT_EQ(file[7 + i]->text(), QStringLiteral("Recent%1").arg(i));
    }
  }
}

TEST_F(MenuTreeTest, ZoomItemsCarryOneCheckMark) {
  StartApp();
  QAction* strong = Item("mnu5pixel");
  QAction* middle = Item("mnu10pixel");
  QAction* low = Item("mnu15Pixel");
  EXPECT_TRUE(strong->isChecked());
  EXPECT_FALSE(middle->isChecked());
  EXPECT_FALSE(low->isChecked());
  low->trigger();
  EXPECT_EQ(Process().zoomFactor, 17);
  middle->trigger();
  EXPECT_EQ(Process().zoomFactor, 9);
  EXPECT_FALSE(strong->isChecked());
  EXPECT_TRUE(middle->isChecked());
  EXPECT_FALSE(low->isChecked());
  middle->trigger();  // choosing the checked item again keeps it checked
  EXPECT_TRUE(middle->isChecked());
  strong->trigger();
  EXPECT_EQ(Process().zoomFactor, 5);
}

}  // namespace
}  // namespace tavlo::testing
