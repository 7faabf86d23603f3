#pragma once
// Doubles for the about box's tests: a machine whose answers the test sets, and a URL opener
// that records instead of opening a browser.
#include <QApplication>
#include <QCursor>
#include <QMap>
#include <QStringList>
#include <QUrl>
#include <vector>

#include "about/machine_info.h"
#include "about/url_link.h"

namespace tavlo::testing {

class FakeMachine : public MachineInfo {
 public:
  FakeMachine() { SetMachine(this); }
  ~FakeMachine() override { SetMachine(nullptr); }

  QString UserFullName() const override { return fullName; }
  QString Organisation() const override { return organisation; }
  QString FindProgram(const QString& program) const override { return installed.value(program); }
  bool StartProgram(const QString& path) override {
    started.push_back(path);
    return startSucceeds;
  }

  QString fullName;
  QString organisation;
  QMap<QString, QString> installed;  // program name -> path
  bool startSucceeds = true;
  QStringList started;
};

class RecordingOpener {
 public:
  struct Opened {
    QUrl url;
    bool busyPointer = false;  // the busy pointer showed while the desktop was asked
  };

  RecordingOpener() {
    SetUrlOpener([this](const QUrl& url) {
      const QCursor* pointer = QApplication::overrideCursor();
      opened.push_back({url, pointer && pointer->shape() == Qt::WaitCursor});
      return true;
    });
  }
  ~RecordingOpener() { SetUrlOpener({}); }

  std::vector<Opened> opened;
};

}  // namespace tavlo::testing
