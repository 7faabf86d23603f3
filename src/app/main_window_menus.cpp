// The menu tree of the main window, built from one table. Captions are stored with their access
// keys ("&") exactly as the user sees them; no two items of a menu, and no two titles of the menu
// bar, share one. Every shortcut works in both windows: a user editing swatches in the palette
// window saves, undoes or copies a colour from there too. The desktop's own shortcuts (Ctrl+Z,
// Ctrl+C, Ctrl+V) do what they do everywhere; the program's own commands take combinations that
// no desktop convention claims.
#include <QActionGroup>
#include <QMenuBar>

#include "app/main_window.h"
#include "store/process_state.h"

namespace tavlo {
namespace {

enum class Kind {
  Menu,         // a menu of the menu bar
  Command,      // an item that runs `command`; on the menu bar itself when `menu` is null
  Toggle,       // a command with a check mark
  Separator,    // a separator line
  Zoom,         // one of the exclusive zoom choices, setting `zoom`
  RecentFiles,  // the hidden separator and slots of the recent pictures
};

constexpr int kStartZoom = 5;

}  // namespace

struct MainWindow::MenuRow {
  Kind kind;
  const char* menu;  // the name of the menu it goes into; null for the menu bar
  const char* name;  // objectName
  const char* caption;
  const char* shortcuts;  // "" or one or more key sequences separated by "; "
  void (MainWindow::*command)() = nullptr;
  int zoom = 0;
};

std::span<const MainWindow::MenuRow> MainWindow::MenuTable() {
  using M = MainWindow;
  static const MenuRow table[] = {
      {Kind::Menu, nullptr, "mnuFile", "&File", ""},
      {Kind::Command, "mnuFile", "mnu_OpenImage", "Open &image", "Ctrl+I", &M::OpenImageCommand},
      {Kind::Separator, "mnuFile", "mnuSep1", "-", ""},
      {Kind::Command, "mnuFile", "mnu_op", "Open &palette", "Ctrl+P", &M::OpenPaletteCommand},
      {Kind::Separator, "mnuFile", "mnu_sep2", "-", ""},
      {Kind::Command, "mnuFile", "mnu_s16", "&Save palette", "Ctrl+S", &M::SavePaletteCommand},
      {Kind::Separator, "mnuFile", "mnu_sep3", "-", ""},
      {Kind::Command, "mnuFile", "mnuQuit", "&Quit Tavlo", "Ctrl+Q", &M::QuitCommand},
      {Kind::RecentFiles, "mnuFile", "mnuRecentFile", "", ""},

      {Kind::Menu, nullptr, "mnuEdit", "&Edit", ""},
      {Kind::Command, "mnuEdit", "mnuUndo", "&Undo", "Ctrl+Z; Alt+Backspace", &M::UndoCommand},
      {Kind::Command, "mnuEdit", "mnuRedo", "&Redo", "Ctrl+Shift+Z; Ctrl+Y", &M::RedoCommand},
      {Kind::Separator, "mnuEdit", "mnuEditSep1", "-", ""},
      {Kind::Command, "mnuEdit", "mnuCopyColor", "&Copy colour", "Ctrl+C", &M::CopyColorCommand},
      {Kind::Command, "mnuEdit", "mnuPasteColor", "&Paste colour", "Ctrl+V", &M::PasteColorCommand},
      {Kind::Separator, "mnuEdit", "mnuEditSep2", "-", ""},
      {Kind::Command, "mnuEdit", "mnuRestoreSession", "Restore last session's palette", "",
       &M::RestoreLastSessionCommand},

      {Kind::Menu, nullptr, "mnuPalette", "&Palette", ""},
      {Kind::Command, "mnuPalette", "mu_sort", "&Sort && Clean (very cheap:)", "Ctrl+Shift+O",
       &M::SortAndCleanCommand},
      {Kind::Command, "mnuPalette", "mnuCompress", "Compress (divide colors)", "Ctrl+F2",
       &M::CompressCommand},
      {Kind::Command, "mnuPalette", "mnu_cv2ws", "Convert to &websafe colors (ugly;)",
       "Ctrl+Shift+B", &M::WebSafeCommand},
      {Kind::Command, "mnuPalette", "mnu_cv2gs", "&Convert to greyscaled colors", "Ctrl+G",
       &M::GreyscaleCommand},
      {Kind::Separator, "mnuPalette", "mnu_sep4", "-", ""},
      {Kind::Command, "mnuPalette", "mnuShiftl", "Shift Palette &left", "Shift+Ins",
       &M::ShiftLeftCommand},
      {Kind::Command, "mnuPalette", "mnuShiftr", "Shift Palette &right", "Ctrl+Ins",
       &M::ShiftRightCommand},
      {Kind::Separator, "mnuPalette", "mnu_sep5", "-", ""},
      {Kind::Command, "mnuPalette", "mnu_d", "&Delete all entries", "Ctrl+D",
       &M::DeleteEntriesCommand},

      {Kind::Menu, nullptr, "mnuOptimize", "&Optimize", ""},
      {Kind::Toggle, "mnuOptimize", "mnuShowResult", "Show &result window", "Ctrl+R",
       &M::ShowResultCommand},
      {Kind::Separator, "mnuOptimize", "mnuOptimizeSep1", "-", ""},
      {Kind::Command, "mnuOptimize", "mnuExportGif", "Export &GIF\u2026", "", &M::ExportGifCommand},
      {Kind::Command, "mnuOptimize", "mnuExportPng", "Export &PNG\u2026", "", &M::ExportPngCommand},
      {Kind::Separator, "mnuOptimize", "mnuOptimizeSep2", "-", ""},
      {Kind::Command, "mnuOptimize", "mnuPaletteFromPicture", "Palette &from picture\u2026", "",
       &M::PaletteFromPictureCommand},
      {Kind::Command, "mnuOptimize", "mnuRemoveUnused", "Remove &unused entries\u2026", "",
       &M::RemoveUnusedEntriesCommand},
      {Kind::Command, "mnuOptimize", "mnuMergeNear", "&Merge near colours\u2026", "",
       &M::MergeNearColorsCommand},
      {Kind::Command, "mnuOptimize", "mnuReduceToTarget", "Reduce to &target\u2026", "",
       &M::ReduceToTargetCommand},
      {Kind::Command, "mnuOptimize", "mnuUsePictureTable", "Use the picture's &colour table", "",
       &M::UsePictureTableCommand},

      {Kind::Menu, nullptr, "mnuZoom", "&Zoom", ""},
      {Kind::Zoom, "mnuZoom", "mnu5pixel", "&strong", "", nullptr, 5},
      {Kind::Zoom, "mnuZoom", "mnu10pixel", "&middel", "", nullptr, 9},
      {Kind::Zoom, "mnuZoom", "mnu15Pixel", "&low", "", nullptr, 17},

      {Kind::Command, nullptr, "mnuTest", "P&review", "", &M::PreviewCommand},
      {Kind::Command, nullptr, "mnuHelpSel", "&About", "", &M::AboutCommand},
  };
  return table;
}

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  zoomGroup_ = new QActionGroup(this);
  zoomGroup_->setExclusive(true);
  auto menuNamed = [this](const char* name) {
    return findChild<QMenu*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
  };
  for (const MenuRow& row : MenuTable()) {
    const QString name = QString::fromLatin1(row.name);
    const QString caption = QString::fromUtf8(row.caption);
    QMenu* menu = row.menu ? menuNamed(row.menu) : nullptr;
    QAction* action = nullptr;
    switch (row.kind) {
      case Kind::Menu: {
        auto* added = new QMenu(caption, this);
        added->setObjectName(name);
        bar->addMenu(added)->setObjectName(name);
        continue;
      }
      case Kind::Separator:
        menu->addSeparator()->setObjectName(name);
        continue;
      case Kind::RecentFiles:
        // A hidden separator and four hidden slots, filled by GetRecentFiles.
        recentItems_[0] = menu->addSeparator();
        for (int i = 1; i <= 4; ++i) {
          recentItems_[i] = menu->addAction(QStringLiteral("Recent%1").arg(i));
          connect(recentItems_[i], &QAction::triggered, this, [this, i] { OpenRecentCommand(i); });
        }
        for (int i = 0; i <= 4; ++i) {
          recentItems_[i]->setObjectName(name);
          recentItems_[i]->setProperty("index", i);
          recentItems_[i]->setVisible(false);
        }
        continue;
      case Kind::Zoom: {
        action = menu->addAction(caption);
        action->setCheckable(true);
        action->setChecked(row.zoom == kStartZoom);
        action->setProperty("zoom", row.zoom);
        zoomGroup_->addAction(action);
        const int factor = row.zoom;
        connect(action, &QAction::triggered, this, [this, factor] { SetZoom(factor); });
        break;
      }
      case Kind::Command:
      case Kind::Toggle:
        action = menu ? menu->addAction(caption) : bar->addAction(caption);
        action->setCheckable(row.kind == Kind::Toggle);
        connect(action, &QAction::triggered, this, row.command);
        break;
    }
    action->setObjectName(name);
    if (*row.shortcuts) {
      action->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(row.shortcuts)));
      action->setShortcutContext(Qt::ApplicationShortcut);
    }
  }
  undoItem_ = findChild<QAction*>(QStringLiteral("mnuUndo"));
  redoItem_ = findChild<QAction*>(QStringLiteral("mnuRedo"));
  restoreItem_ = findChild<QAction*>(QStringLiteral("mnuRestoreSession"));
  showResultItem_ = findChild<QAction*>(QStringLiteral("mnuShowResult"));
  // Whether a last session's palette exists can change behind the program's back.
  connect(menuNamed("mnuEdit"), &QMenu::aboutToShow, this, &MainWindow::UpdateEditMenu);
}

void MainWindow::SetZoom(int factor) {
  Process().zoomFactor = static_cast<std::int16_t>(factor);
  for (QAction* action : zoomGroup_->actions())
    action->setChecked(action->property("zoom").toInt() == factor);
}

}  // namespace tavlo
