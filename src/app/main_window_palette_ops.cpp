// The Palette menu: commands that rewrite the palette as a whole.
#include "app/main_window.h"

namespace tavlo {

void MainWindow::SortAndCleanCommand() {}

void MainWindow::CompressCommand() {}

void MainWindow::WebSafeCommand() {}

void MainWindow::GreyscaleCommand() {}

void MainWindow::ShiftLeftCommand() {}

void MainWindow::ShiftRightCommand() {}

void MainWindow::DeleteEntriesCommand() {}

}  // namespace tavlo
