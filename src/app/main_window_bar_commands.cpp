// The two commands on the menu bar itself: the palette preview and the about box.
#include "app/main_window.h"

namespace tavlo {

void MainWindow::PreviewCommand() {}

void MainWindow::AboutCommand() {}

}  // namespace tavlo
