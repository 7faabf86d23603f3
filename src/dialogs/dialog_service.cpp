#include "dialogs/dialog_service.h"

#include "dialogs/qt_dialog_service.h"

namespace tavlo {
namespace {

DialogService* installed = nullptr;

}  // namespace

DialogService& Dialogs() {
  static QtDialogService qtService;
  return installed ? *installed : qtService;
}

void SetDialogs(DialogService* service) {
  installed = service;
}

void ShowWarning(QWidget* owner, const QString& text) {
  Dialogs().MessageBox(owner, QStringLiteral("Warning"), text, MessageIcon::Critical);
}

}  // namespace tavlo
