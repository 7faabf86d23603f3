#pragma once
// The dialogs as the user meets them: Qt's file, colour and input dialogs, message boxes and
// progress box.
#include "dialogs/dialog_service.h"

namespace tavlo {

class QtDialogService : public DialogService {
 public:
  QString ShowOpenDialog(QWidget* owner, const QString& title, QString& directory,
                         const QString& defaultName, const QString& filter,
                         const QString& defaultExt) override;
  QString ShowSaveDialog(QWidget* owner, const QString& title, QString& directory,
                         const QString& defaultName, const QString& filter,
                         const QString& defaultExt, int* chosenFilter = nullptr) override;
  bool ShowColorDialog(QWidget* owner, ColorValue& color) override;
  QString InputBox(QWidget* owner, const QString& title, const QString& prompt,
                   const QString& initialText = {}) override;
  void MessageBox(QWidget* owner, const QString& title, const QString& text,
                  MessageIcon icon) override;
  bool AskYesNo(QWidget* owner, const QString& title, const QString& text) override;
  int RunModal(QDialog& dialog) override;
  bool RunInBackground(QWidget* owner, const QString& title, const QString& label,
                       BackgroundWork work) override;
};

}  // namespace tavlo
