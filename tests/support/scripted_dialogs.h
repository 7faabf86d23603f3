#pragma once
// A DialogService for tests: every modal interaction takes the next scripted answer of its kind
// and is logged. An interaction with no answer left fails the test and answers as Cancel would.
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "dialogs/dialog_service.h"

namespace tavlo::testing {

struct DialogCall {
  QString kind;       // "open", "save", "color", "input", "message", "yesno", "modal", "busy"
  QString title;      // modal windows: the window's objectName
  QString text;       // prompt, message or busy box text
  QString directory;  // file dialogs: the directory passed in
  QString defaultName;
  QString filter;
  QString defaultExt;
  MessageIcon icon = MessageIcon::None;
  ColorValue color = 0;   // colour dialog: the starting colour
  QString initialText{};  // input box: what its field starts with
};

class ScriptedDialogs : public DialogService {
 public:
  ScriptedDialogs();            // installs itself
  ~ScriptedDialogs() override;  // restores the Qt dialogs

  // Answers, consumed in order per kind. A file answer is a full path, or nullopt for Cancel.
  void AnswerOpen(std::optional<QString> fullPath) { opens_.push_back(std::move(fullPath)); }
  // A save answer may name the filter pair the user chose (from 0; the first one by default).
  void AnswerSave(std::optional<QString> fullPath, int chosenFilter = 0) {
    saves_.push_back(std::move(fullPath));
    saveFilters_.push_back(chosenFilter);
  }
  void AnswerColor(std::optional<ColorValue> color) { colors_.push_back(color); }
  void AnswerInput(QString text) { inputs_.push_back(std::move(text)); }
  void AnswerInputs(const QStringList& texts) {
    for (const QString& t : texts) inputs_.push_back(t);
  }
  void AnswerYesNo(bool yes) { yesNos_.push_back(yes); }
  // A modal window is really shown; `handle` runs once it is up and must close it.
  void AnswerModal(std::function<void(QDialog&)> handle) { modals_.push_back(std::move(handle)); }

  // Work in the background runs to its end on the caller's thread, unless one of these scripts
  // the next call: the user cancels (the work runs with its stop flag set, then the call says it
  // was cancelled), or the work runs on a worker thread behind the real busy box, with
  // `thenOnWorker` run on that thread after it, before the work counts as finished.
  void CancelBackgroundWork() { backgrounds_.push_back({Background::Cancel, {}}); }
  void RunBackgroundWorkForReal(std::function<void()> thenOnWorker = {}) {
    backgrounds_.push_back({Background::ForReal, std::move(thenOnWorker)});
  }

  const std::vector<DialogCall>& Calls() const { return calls_; }
  std::vector<DialogCall> CallsOf(const QString& kind) const;
  // True when every scripted answer was used.
  bool AllAnswersUsed() const;

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

 private:
  enum class Background { Cancel, ForReal };
  struct BackgroundAnswer {
    Background answer;
    std::function<void()> thenOnWorker;
  };

  QString FileAnswer(std::deque<std::optional<QString>>& answers, DialogCall call,
                     QString& directory);

  std::deque<std::optional<QString>> opens_;
  std::deque<std::optional<QString>> saves_;
  std::deque<int> saveFilters_;
  std::deque<std::optional<ColorValue>> colors_;
  std::deque<QString> inputs_;
  std::deque<bool> yesNos_;
  std::deque<std::function<void(QDialog&)>> modals_;
  std::deque<BackgroundAnswer> backgrounds_;
  std::vector<DialogCall> calls_;
};

}  // namespace tavlo::testing
