#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QTimer>

#include "dialogs/file_filter.h"
#include "dialogs/qt_dialog_service.h"

namespace tavlo::testing {

ScriptedDialogs::ScriptedDialogs() {
  SetDialogs(this);
}
ScriptedDialogs::~ScriptedDialogs() {
  SetDialogs(nullptr);
}

std::vector<DialogCall> ScriptedDialogs::CallsOf(const QString& kind) const {
  std::vector<DialogCall> result;
  for (const DialogCall& call : calls_)
    if (call.kind == kind) result.push_back(call);
  return result;
}

bool ScriptedDialogs::AllAnswersUsed() const {
  return opens_.empty() && saves_.empty() && colors_.empty() && inputs_.empty() &&
         yesNos_.empty() && modals_.empty() && backgrounds_.empty();
}

QString ScriptedDialogs::FileAnswer(std::deque<std::optional<QString>>& answers, DialogCall call,
                                    QString& directory) {
  calls_.push_back(call);
  if (answers.empty()) {
    ADD_FAILURE() << "unexpected " << call.kind.toStdString() << " dialog \""
                  << call.title.toStdString() << "\"";
    return {};
  }
  const std::optional<QString> answer = answers.front();
  answers.pop_front();
  if (!answer) return {};
  const ChosenFile chosen = SplitChosenPath(*answer);
  directory = chosen.directory;
  return chosen.name;
}

QString ScriptedDialogs::ShowOpenDialog(QWidget*, const QString& title, QString& directory,
                                        const QString& defaultName, const QString& filter,
                                        const QString& defaultExt) {
  return FileAnswer(opens_, {"open", title, {}, directory, defaultName, filter, defaultExt},
                    directory);
}

QString ScriptedDialogs::ShowSaveDialog(QWidget*, const QString& title, QString& directory,
                                        const QString& defaultName, const QString& filter,
                                        const QString& defaultExt, int* chosenFilter) {
  const int filterAnswer = saveFilters_.empty() ? 0 : saveFilters_.front();
  if (!saveFilters_.empty()) saveFilters_.pop_front();
  const QString name = FileAnswer(
      saves_, {"save", title, {}, directory, defaultName, filter, defaultExt}, directory);
  if (chosenFilter && !name.isEmpty()) *chosenFilter = filterAnswer;
  return name;
}

bool ScriptedDialogs::ShowColorDialog(QWidget*, ColorValue& color) {
  DialogCall call;
  call.kind = "color";
  call.color = color;
  calls_.push_back(call);
  if (colors_.empty()) {
    ADD_FAILURE() << "unexpected colour dialog";
    return false;
  }
  const std::optional<ColorValue> answer = colors_.front();
  colors_.pop_front();
  if (!answer) return false;
  color = *answer;
  return true;
}

QString ScriptedDialogs::InputBox(QWidget*, const QString& title, const QString& prompt,
                                  const QString& initialText) {
  DialogCall call;
  call.kind = "input";
  call.title = title;
  call.text = prompt;
  call.initialText = initialText;
  calls_.push_back(call);
  if (inputs_.empty()) {
    ADD_FAILURE() << "unexpected input box \"" << title.toStdString() << "\"";
    return {};
  }
  const QString answer = inputs_.front();
  inputs_.pop_front();
  return answer;
}

void ScriptedDialogs::MessageBox(QWidget*, const QString& title, const QString& text,
                                 MessageIcon icon) {
  DialogCall call;
  call.kind = "message";
  call.title = title;
  call.text = text;
  call.icon = icon;
  calls_.push_back(call);
}

bool ScriptedDialogs::AskYesNo(QWidget*, const QString& title, const QString& text) {
  DialogCall call;
  call.kind = "yesno";
  call.title = title;
  call.text = text;
  calls_.push_back(call);
  if (yesNos_.empty()) {
    ADD_FAILURE() << "unexpected yes/no question \"" << text.toStdString() << "\"";
    return false;
  }
  const bool answer = yesNos_.front();
  yesNos_.pop_front();
  return answer;
}

int ScriptedDialogs::RunModal(QDialog& dialog) {
  DialogCall call;
  call.kind = "modal";
  call.title = dialog.objectName();
  calls_.push_back(call);
  if (modals_.empty()) {
    ADD_FAILURE() << "unexpected modal window \"" << call.title.toStdString() << "\"";
    return QDialog::Rejected;
  }
  std::function<void(QDialog&)> handle = std::move(modals_.front());
  modals_.pop_front();
  QTimer::singleShot(0, &dialog, [&dialog, handle] {
    handle(dialog);
    // Whatever the handler did, the window closes so that the command returns.
    if (dialog.isVisible()) dialog.reject();
  });
  dialog.setWindowModality(Qt::ApplicationModal);
  return dialog.exec();
}

bool ScriptedDialogs::RunInBackground(QWidget* owner, const QString& title, const QString& label,
                                      BackgroundWork work) {
  DialogCall call;
  call.kind = "busy";
  call.title = title;
  call.text = label;
  calls_.push_back(call);
  if (backgrounds_.empty()) {
    const std::atomic<bool> stop{false};
    work(stop);
    return true;
  }
  BackgroundAnswer scripted = std::move(backgrounds_.front());
  backgrounds_.pop_front();
  if (scripted.answer == Background::Cancel) {
    const std::atomic<bool> stop{true};
    work(stop);
    return false;
  }
  BackgroundWork slower = [work = std::move(work),
                           then = std::move(scripted.thenOnWorker)](const std::atomic<bool>& stop) {
    work(stop);
    if (then) then();
  };
  return QtDialogService().RunInBackground(owner, title, label, std::move(slower));
}

}  // namespace tavlo::testing
