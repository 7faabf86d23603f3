// The Palette menu: commands that rewrite the palette as a whole.
#include "app/main_window.h"
#include "operations/palette_commands.h"

namespace tavlo {

void MainWindow::SortAndCleanCommand() {
  SortAndClean(*palette_);
}

void MainWindow::CompressCommand() {
  CompressPalette(*palette_);
}

void MainWindow::WebSafeCommand() {
  ConvertToWebSafe(*palette_);
}

void MainWindow::GreyscaleCommand() {
  ConvertToGreyscale(*palette_);
}

void MainWindow::ShiftLeftCommand() {
  ShiftPaletteLeft(*palette_);
}

void MainWindow::ShiftRightCommand() {
  ShiftPaletteRight(*palette_);
}

void MainWindow::DeleteEntriesCommand() {
  DeleteEntries(this, *palette_);
}

}  // namespace tavlo
