#pragma once
// Fuzz targets that draw need a GUI application object: created once, headless.
#include <QGuiApplication>
#include <cstdlib>

inline void EnsureGuiApplication() {
  static int argc = 1;
  static char name[] = "fuzzer";
  static char* argv[] = {name, nullptr};
  if (!QGuiApplication::instance()) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    new QGuiApplication(argc, argv);
  }
}
