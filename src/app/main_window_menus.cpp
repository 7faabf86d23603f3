// The menu tree of the main window. Captions are stored with their access keys ("&") exactly as
// the user sees them; every item stays enabled.
#include <QActionGroup>
#include <QMenuBar>

#include "app/main_window.h"
#include "app/process_state.h"

namespace tavlo {

QAction* MainWindow::AddCommand(QMenu* menu, const char* name, const QString& caption,
                                const QKeySequence& shortcut, void (MainWindow::*command)()) {
  QAction* action = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(shortcut);
  if (command) connect(action, &QAction::triggered, this, command);
  return action;
}

void MainWindow::AddSeparator(QMenu* menu, const char* name) {
  menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  auto addMenu = [&](const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
  };

  QMenu* file = addMenu("mnuFile", QStringLiteral("&File"));
  AddCommand(file, "mnu_OpenImage", QStringLiteral("Open &image"), QKeySequence("Ctrl+I"),
             &MainWindow::OpenImageCommand);
  AddSeparator(file, "mnuSep1");
  AddCommand(file, "mnu_op", QStringLiteral("Open &palette"), QKeySequence("Ctrl+P"),
             &MainWindow::OpenPaletteCommand);
  AddSeparator(file, "mnu_sep2");
  AddCommand(file, "mnu_s16", QStringLiteral("&Save palette"), QKeySequence("Ctrl+S"),
             &MainWindow::SavePaletteCommand);
  AddSeparator(file, "mnu_sep3");
  AddCommand(file, "mnuQuit", QStringLiteral("&Quit Tavlo"), QKeySequence("Ctrl+Q"),
             &MainWindow::QuitCommand);
  // Recent pictures: a hidden separator and four hidden slots, filled by GetRecentFiles.
  recentItems_[0] = file->addSeparator();
  for (int i = 1; i <= 4; ++i) {
    recentItems_[i] = file->addAction(QStringLiteral("Recent%1").arg(i));
    connect(recentItems_[i], &QAction::triggered, this, [this, i] { OpenRecentCommand(i); });
  }
  for (int i = 0; i <= 4; ++i) {
    recentItems_[i]->setObjectName(QStringLiteral("mnuRecentFile"));
    recentItems_[i]->setProperty("index", i);
    recentItems_[i]->setVisible(false);
  }

  QMenu* palette = addMenu("mnuPalette", QStringLiteral("&Palette"));
  AddCommand(palette, "mu_sort", QStringLiteral("&Sort && Clean (very cheap:)"),
             QKeySequence("Ctrl+Z"), &MainWindow::SortAndCleanCommand);
  AddCommand(palette, "mnuCompress", QStringLiteral("Compress (divide colors)"),
             QKeySequence("Ctrl+F2"), &MainWindow::CompressCommand);
  AddCommand(palette, "mnu_cv2ws", QStringLiteral("&Convert to websafe colors (ugly;)"),
             QKeySequence("Ctrl+C"), &MainWindow::WebSafeCommand);
  AddCommand(palette, "mnu_cv2gs", QStringLiteral("&Convert to greyscaled colors"),
             QKeySequence("Ctrl+G"), &MainWindow::GreyscaleCommand);
  AddSeparator(palette, "mnu_sep4");
  AddCommand(palette, "mnuShiftl", QStringLiteral("Shift &Palette left"), QKeySequence("Shift+Ins"),
             &MainWindow::ShiftLeftCommand);
  AddCommand(palette, "mnuShiftr", QStringLiteral("Shift &Palette right"), QKeySequence("Ctrl+Ins"),
             &MainWindow::ShiftRightCommand);
  AddSeparator(palette, "mnu_sep5");
  AddCommand(palette, "mnu_d", QStringLiteral("&Delete all entries"), QKeySequence("Ctrl+D"),
             &MainWindow::DeleteEntriesCommand);

  QMenu* zoom = addMenu("mnuZoom", QStringLiteral("&Zoom"));
  zoomGroup_ = new QActionGroup(this);
  zoomGroup_->setExclusive(true);
  const struct {
    const char* name;
    const char* caption;
    int factor;
  } zoomItems[] = {
      {"mnu5pixel", "&strong", 5}, {"mnu10pixel", "&middel", 9}, {"mnu15Pixel", "&low", 17}};
  for (const auto& item : zoomItems) {
    QAction* action = zoom->addAction(QString::fromLatin1(item.caption));
    action->setObjectName(QString::fromLatin1(item.name));
    action->setCheckable(true);
    action->setChecked(item.factor == 5);
    zoomGroup_->addAction(action);
    const int factor = item.factor;
    connect(action, &QAction::triggered, this, [this, factor] { SetZoom(factor); });
  }

  AddCommand(nullptr, "mnuTest", QStringLiteral("&Preview"), {}, &MainWindow::PreviewCommand);
  AddCommand(nullptr, "mnuHelpSel", QStringLiteral("&About"), {}, &MainWindow::AboutCommand);
}

void MainWindow::SetZoom(int factor) {
  Process().zoomFactor = static_cast<std::int16_t>(factor);
  for (QAction* action : zoomGroup_->actions()) {
    action->setChecked(action->objectName() == QLatin1String(factor == 5   ? "mnu5pixel"
                                                             : factor == 9 ? "mnu10pixel"
                                                                           : "mnu15Pixel"));
  }
}

}  // namespace tavlo
