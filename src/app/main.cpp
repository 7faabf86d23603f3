#include <QApplication>

#include "app/main_window.h"
#include "app/settings_store.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tavlo"));
  tavlo::MainWindow window(tavlo::GetSettingsPath());
  window.Start();
  return QApplication::exec();
}
