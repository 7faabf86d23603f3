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
#include "picture/gif_frames.h"

class QAction;
class QActionGroup;
class QMenu;

namespace tavlo {

struct ExportedFile;
struct PictureResult;
class PaletteDocument;
class PaletteWindow;
class PictureArea;
class ResultWindow;

// "photo.png cannot be opened as a picture: the reason."
QString CannotOpenPictureText(const QString& path, const QString& reason);

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

  // Opens each file as "Open image" or "Open palette" would, whichever its name and content show
  // it to be; the last picture stays. A file that is neither is reported as a picture that cannot
  // be opened (main_window_open_files.cpp).
  void OpenFiles(const QStringList& paths);

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
  // Moves a window that would reach past the edges of its screen wholly onto it.
  void KeepOnScreen(QWidget& window) const;
  // A size stored on a larger screen is cut to this one's, so that the whole window shows.
  void FitOnScreen(QWidget& window) const;
  QRect ScreenAreaOf(const QWidget& window) const;
  int MenuBarHeight(int width) const;
  // The width the menu bar needs to show every title on one line.
  int MenuBarWidth() const;
  // The picture area's outer size (at least as wide as the menu bar), unless the window would then
  // not fit its screen: then the largest that lets it fit.
  QSize PictureAreaSize() const;

  // The picture area's pointer moves, presses and drops (main_window_image.cpp).
  void ConnectPictureArea();
  // Loads a picture file into the picture area and fits the window; a file that cannot be read
  // is reported and changes nothing.
  bool ShowPictureFile(const QString& path);
  void ShowPicture(const PictureResult& loaded);
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
  // Status in the result window.
  void CopyColorCommand();
  void PasteColorCommand();
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
  // After an export: the file and its size in the result window's status.
  void Exported(const ExportedFile& file);
  // The colours of the working range.
  std::vector<ColorValue> WorkingColors() const;
  // Shows the picture reduced to the working range over the picture.
  void DrawPreview();
  // Draws the preview again when it is shown, after a change of the palette or of the range.
  void FollowWithPreview();
  void AboutCommand();

  // Optimize menu commands and the result window (main_window_optimize.cpp).
  void CreateResultWindow();
  void RestoreResultPosition();
  void PlaceResultWindow();
  void StoreResultPosition();
  void ShowResultCommand();
  void ExportGifCommand();
  void ExportPngCommand();
  // The range commands on the working range (main_window_optimize.cpp).
  void PaletteFromPictureCommand();
  void RemoveUnusedEntriesCommand();
  void MergeNearColorsCommand();
  void ReduceToTargetCommand();
  void UsePictureTableCommand();
  void ChooseMatteCommand();

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
  bool resultPlaced_ = false;   // a stored position was applied, or the window was placed
  QString picturePath_;         // of the picture shown; empty for the start picture
  GifColorTable pictureTable_;  // of the picture shown, when it is a GIF
  bool shutDown_ = false;
};

}  // namespace tavlo
