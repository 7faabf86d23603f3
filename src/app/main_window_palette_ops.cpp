// The Palette menu: commands that rewrite the palette as a whole.
#include "app/main_window.h"
#include "commands/palette_commands.h"
#include "palette_window/palette_window.h"

namespace tavlo {

void MainWindow::SortAndCleanCommand() {
  SortAndClean(*document_);
}

void MainWindow::CompressCommand() {
  CompressPalette(*document_, palette_->CompressDivisorText());
}

void MainWindow::WebSafeCommand() {
  ConvertToWebSafe(*document_);
}

void MainWindow::GreyscaleCommand() {
  ConvertToGreyscale(*document_);
}

void MainWindow::ShiftLeftCommand() {
  ShiftPaletteLeft(*document_);
}

void MainWindow::ShiftRightCommand() {
  ShiftPaletteRight(*document_);
}

void MainWindow::DeleteEntriesCommand() {
  DeleteEntries(this, *palette_);
}

}  // namespace tavlo
