// "&About" on the menu bar.
#include "app/main_window.h"

namespace tavlo {

void MainWindow::AboutCommand() {}

}  // namespace tavlo
