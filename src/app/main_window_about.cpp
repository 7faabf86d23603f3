// "&About" on the menu bar.
#include "about/about_box.h"
#include "app/main_window.h"
#include "dialogs/dialog_service.h"

namespace tavlo {

void MainWindow::AboutCommand() {
  AboutBox about(this);
  about.SetIcon(windowIcon());
  Dialogs().RunModal(about);
}

}  // namespace tavlo
