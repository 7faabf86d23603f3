#include <QApplication>

#include "app/main_window.h"
#include "store/settings_store.h"
#include "store/state_directory.h"
#include "version.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tavlo"));
  // Ties the windows to the installed desktop entry, for the desktop's icon and task list.
  QGuiApplication::setDesktopFileName(QString::fromLatin1(tavlo::kApplicationId));
  tavlo::MainWindow window(tavlo::GetSettingsPath(), tavlo::GetStateDirectory());
  window.Start();
  window.OpenFiles(QApplication::arguments().mid(1));
  return QApplication::exec();
}
