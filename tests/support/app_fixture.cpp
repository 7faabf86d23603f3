#include "support/app_fixture.h"

#include <QApplication>
#include <QMenuBar>
#include <algorithm>

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

QSize AppFixture::ClientFor(QSize outer) {
  return {std::max(outer.width(), window_->menuBar()->sizeHint().width()), outer.height()};
}

QAction* AppFixture::Item(const char* name) {
  QAction* action = window_->findChild<QAction*>(QString::fromLatin1(name));
  EXPECT_NE(action, nullptr) << name;
  return action;
}

void AppFixture::Trigger(const char* name) {
  QAction* action = Item(name);
  ASSERT_TRUE(action);
  action->trigger();
  QApplication::processEvents();
}

void AppFixture::OpenPalette(const QString& path) {
  dialogs_.AnswerOpen(path);
  Trigger("mnu_op");
}

void AppFixture::SavePalette(const QString& path) {
  dialogs_.AnswerSave(path);
  Trigger("mnu_s16");
}

void AppFixture::OpenPicture(const QString& path) {
  dialogs_.AnswerOpen(path);
  Trigger("mnu_OpenImage");
}

}  // namespace tavlo::testing
