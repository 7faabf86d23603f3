#pragma once
// A fixture with a started program: main window and palette window under a settings file in a
// fresh temporary directory, and scripted dialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QTemporaryDir>
#include <memory>

#include "app/main_window.h"
#include "support/scripted_dialogs.h"

namespace tavlo::testing {

class AppFixture : public ::testing::Test {
 protected:
  ~AppFixture() override;

  QString SettingsPath() const { return dir_.filePath(QStringLiteral("tavlo.ini")); }
  QString TempPath(const QString& name) const { return dir_.filePath(name); }
  // Where the program keeps the last session's palette.
  QString StateDirectory() const { return dir_.filePath(QStringLiteral("state")); }

  // Creates the main window and runs the start-up; the window stays until CloseApp or the end.
  MainWindow& StartApp();
  // Closes the main window as the user would, running the shut-down.
  void CloseApp();

  MainWindow& Main() { return *window_; }
  // The main window's client area for a picture area of `outer`: never narrower than the menu
  // bar, so that every menu title shows.
  QSize ClientFor(QSize outer);
  PaletteWindow& Palette() { return *window_->Palette(); }
  PaletteDocument& Document() { return window_->Document(); }

  // The main window's menu item of this objectName; a test failure when there is none.
  QAction* Item(const char* name);
  // Triggers the menu item as a click would, and lets what it queued run.
  void Trigger(const char* name);
  // The user picks `path` in the file dialog of "Open palette", "Save palette", "Open image".
  void OpenPalette(const QString& path);
  void SavePalette(const QString& path);
  void OpenPicture(const QString& path);

  ScriptedDialogs dialogs_;

 private:
  QTemporaryDir dir_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace tavlo::testing
