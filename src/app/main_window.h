#pragma once
// The main window `frmMain`: the picture and the whole menu bar. Its client area is always
// exactly the picture area's size. Creating and starting it runs the program's start-up; closing
// it runs the shut-down.
#include <QMainWindow>
#include <array>

class QAction;
class QActionGroup;
class QMenu;

namespace tavlo {

class PaletteDocument;
class PaletteWindow;
class PictureArea;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainWindow(const QString& settingsPath);
  ~MainWindow() override;

  // The start-up sequence: settings, window positions, recent menu, showing both windows.
  void Start();

  // Makes the client area exactly as large as the picture area and hides the preview.
  void ResizeForm();

  PaletteDocument& Document() const { return *document_; }
  PaletteWindow* Palette() const { return palette_; }
  PictureArea* Picture() const { return picture_; }

  // The recent-pictures slots of the File menu: item 0 is the separator, 1..4 the entries.
  QAction* RecentItem(int i) const { return recentItems_[i]; }

  // Rebuilds the recent-pictures menu from the settings file.
  void GetRecentFiles();

  // Loads a file dropped onto the picture area, as if opened (main_window_image.cpp).
  void DropPicture(const QString& path);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Menu construction (main_window_menus.cpp).
  void BuildMenus();
  QAction* AddCommand(QMenu* menu, const char* name, const QString& caption,
                      const QKeySequence& shortcut, void (MainWindow::*command)());
  void AddSeparator(QMenu* menu, const char* name);
  void SetZoom(int factor);

  void RestoreWindowPositions();
  // Creates the palette window and connects what it asks for to the commands.
  void CreatePaletteWindow();

  // The picture area's pointer moves, presses and drops (main_window_image.cpp).
  void ConnectPictureArea();
  // Loads a picture file into the picture area and fits the window; a file that cannot be read
  // is reported and changes nothing.
  bool ShowPictureFile(const QString& path);
  // After a picture was opened from `path`: the recent list and the caption.
  void PictureShown(const QString& path);

  // File menu commands (main_window_file.cpp).
  void OpenImageCommand();
  void OpenPaletteCommand();
  void SavePaletteCommand();
  void OpenRecentCommand(int i);
  void QuitCommand() { close(); }

  // Palette menu commands (main_window_palette_ops.cpp).
  void SortAndCleanCommand();
  void CompressCommand();
  void WebSafeCommand();
  void GreyscaleCommand();
  void ShiftLeftCommand();
  void ShiftRightCommand();
  void DeleteEntriesCommand();

  // Commands on the menu bar itself.
  void PreviewCommand();
  void ExportPreviewCommand();
  void AboutCommand();

  PaletteDocument* document_ = nullptr;
  PictureArea* picture_ = nullptr;
  PaletteWindow* palette_ = nullptr;
  std::array<QAction*, 5> recentItems_{};
  QActionGroup* zoomGroup_ = nullptr;
  bool shutDown_ = false;
};

}  // namespace tavlo
