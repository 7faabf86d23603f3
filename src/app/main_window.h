#pragma once
// The main window `frmMain`: the picture and the whole menu bar. Its client area is always
// exactly the picture area's size. Creating and starting it runs the program's start-up; closing
// it runs the shut-down. It owns the palette document, which the palette window shows.
#include <QMainWindow>
#include <array>
#include <optional>
#include <vector>

#include <span>
#include "base/color_value.h"
#include "base/entry_range.h"

class QAction;
class QActionGroup;
class QMenu;

namespace tavlo {

class PaletteDocument;
class PaletteWindow;
class PictureArea;
class ResultWindow;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // `stateDirectory` is where the last session's palette is kept.
  MainWindow(const QString& settingsPath, const QString& stateDirectory);
  ~MainWindow() override;

  // The start-up sequence: settings, window positions, recent menu, showing both windows.
  void Start();

  // Makes the client area exactly as large as the picture area and hides the preview. A picture
  // too large for the screen makes the window as large as the screen allows, and scrolls.
  void ResizeForm();

  PaletteDocument& Document() const { return *document_; }
  PaletteWindow* Palette() const { return palette_; }
  PictureArea* Picture() const { return picture_; }
  ResultWindow* Result() const { return result_; }

  // The recent-pictures slots of the File menu: item 0 is the separator, 1..4 the entries.
  QAction* RecentItem(int i) const { return recentItems_[i]; }

  // Rebuilds the recent-pictures menu from the settings file.
  void GetRecentFiles();

  // Loads a file dropped onto the picture area, as if opened (main_window_image.cpp).
  void DropPicture(const QString& path);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // The menu bar, built from the menu table (main_window_menus.cpp).
  struct MenuRow;
  static std::span<const MenuRow> MenuTable();
  void BuildMenus();
  void SetZoom(int factor);

  void RestoreWindowPositions();
  // Creates the palette window and connects what it asks for to the commands.
  void CreatePaletteWindow();
  // On a first start: the palette window beside the main window, on its screen.
  void PlacePaletteBesideMain();

  // The available area of the screen the window is on.
  QRect AvailableArea() const;
  // The outer size a tool window will have once shown, frame included.
  QSize FramedSize(const QWidget& toolWindow) const;
  int MenuBarHeight(int width) const;
  // The picture area's outer size, unless the window would then not fit its screen: then the
  // largest that lets it fit.
  QSize PictureAreaSize() const;

  // The picture area's pointer moves, presses and drops (main_window_image.cpp).
  void ConnectPictureArea();
  // Loads a picture file into the picture area and fits the window; a file that cannot be read
  // is reported and changes nothing.
  bool ShowPictureFile(const QString& path);
  // After a picture was opened from `path`: the recent list and the caption.
  void PictureShown(const QString& path);

  // File menu commands (main_window_image.cpp, main_window_palette_files.cpp).
  void OpenImageCommand();
  void OpenPaletteCommand();
  void SavePaletteCommand();
  void OpenRecentCommand(int i);
  void QuitCommand() { close(); }

  // Edit menu commands (main_window_edit.cpp).
  void UndoCommand();
  void RedoCommand();
  void RestoreLastSessionCommand();
  // Undo and Redo named after their steps and enabled when there is one; Restore enabled when
  // there is a last session's palette.
  void UpdateEditMenu();

  // Palette menu commands (main_window_palette_ops.cpp).
  void SortAndCleanCommand();
  void CompressCommand();
  void WebSafeCommand();
  void GreyscaleCommand();
  void ShiftLeftCommand();
  void ShiftRightCommand();
  void DeleteEntriesCommand();

  // Commands on the menu bar itself (main_window_preview.cpp, main_window_about.cpp).
  void PreviewCommand();
  void ExportPreviewCommand();
  void AboutCommand();

  // Optimize menu commands and the result window (main_window_optimize.cpp).
  void CreateResultWindow();
  void RestoreResultPosition();
  void PlaceResultWindow();
  void StoreResultPosition();
  void ShowResultCommand();
  void ExportGifCommand();
  void ExportPngCommand();
  // The range commands (main_window_optimize.cpp): after each, the result window describes the
  // entries that hold the range's colours.
  void PaletteFromPictureCommand();
  void RemoveUnusedEntriesCommand();
  void MergeNearColorsCommand();
  void ReduceToTargetCommand();
  void DescribeRange(std::optional<EntryRange> range);

  PaletteDocument* document_ = nullptr;
  PictureArea* picture_ = nullptr;
  PaletteWindow* palette_ = nullptr;
  std::array<QAction*, 5> recentItems_{};
  QActionGroup* zoomGroup_ = nullptr;
  QAction* undoItem_ = nullptr;
  QAction* redoItem_ = nullptr;
  QAction* restoreItem_ = nullptr;
  QAction* showResultItem_ = nullptr;
  ResultWindow* result_ = nullptr;
  bool resultPlaced_ = false;  // a stored position was applied, or the window was placed
  // The range and colours of the last preview (the range also of the last range command that
  // changed the palette); entries 1 to 256 before any.
  EntryRange previewRange_{0, kPaletteSize - 1};
  std::vector<ColorValue> previewColors_;
  bool shutDown_ = false;
};

}  // namespace tavlo
