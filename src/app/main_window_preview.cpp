// "&Preview" on the menu bar: the palette-reduced picture over the picture area.
#include "app/main_window.h"

namespace tavlo {

void MainWindow::PreviewCommand() {}

}  // namespace tavlo
