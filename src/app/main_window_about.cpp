// "&About" on the menu bar.
#include "about/about_box.h"
#include "app/main_window.h"

namespace tavlo {

void MainWindow::AboutCommand() {
  AboutBox about(this);
  about.SetIcon(windowIcon());
  // Neither the main window nor the palette window takes input while the box is open.
  about.setWindowModality(Qt::ApplicationModal);
  about.exec();
}

}  // namespace tavlo
