#include "support/app_fixture.h"

#include <QApplication>

#include "palette_model/palette_document.h"
#include "palette_window/palette_window.h"

namespace tavlo::testing {

AppFixture::~AppFixture() {
  if (window_) window_->hide();
}

MainWindow& AppFixture::StartApp() {
  window_ = std::make_unique<MainWindow>(SettingsPath(), StateDirectory());
  window_->Start();
  QApplication::processEvents();
  return *window_;
}

void AppFixture::CloseApp() {
  window_->close();
  QApplication::processEvents();
}

}  // namespace tavlo::testing
