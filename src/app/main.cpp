#include <QApplication>

#include "app/main_window.h"
#include "app/settings_store.h"
#include "app/state_directory.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tavlo"));
  tavlo::MainWindow window(tavlo::GetSettingsPath(), tavlo::GetStateDirectory());
  window.Start();
  return QApplication::exec();
}
