#pragma once
// The one door through which every modal interaction passes: file, colour and input dialogs,
// message boxes, the yes/no question and the busy box of work done in the background. The
// program uses the Qt implementation; tests install a scripted double, so every command runs
// headless.
#include <QString>
#include <atomic>
#include <functional>

#include "base/color_value.h"

class QDialog;
class QWidget;

namespace tavlo {

enum class MessageIcon { None, Information, Warning, Critical };

// Work for another thread; `stop` is set once the user cancelled, for work that can give up early.
using BackgroundWork = std::function<void(const std::atomic<bool>& stop)>;

class DialogService {
 public:
  virtual ~DialogService() = default;

  // File dialogs. `filter` is "description|pattern|description|pattern", several wildcards of
  // one pattern joined by ';'; the first pair is preselected. `defaultExt` (no dot) is appended
  // to a typed name without extension. The result is the chosen file's bare name; on success
  // `directory` becomes its directory, ending in '/'. Cancel gives an empty name and leaves
  // `directory` exactly as passed. Open accepts only existing files; save confirms overwriting.
  // On success, a save dialog stores in `chosenFilter` (when given) which description/pattern
  // pair was chosen, counted from 0; while a pair of one "*.ext" pattern is chosen, a typed name
  // without extension gets that extension instead of `defaultExt`.
  virtual QString ShowOpenDialog(QWidget* owner, const QString& title, QString& directory,
                                 const QString& defaultName, const QString& filter,
                                 const QString& defaultExt) = 0;
  virtual QString ShowSaveDialog(QWidget* owner, const QString& title, QString& directory,
                                 const QString& defaultName, const QString& filter,
                                 const QString& defaultExt, int* chosenFilter = nullptr) = 0;

  // Colour dialog starting from `colour`; true and `colour` set when the user confirmed one.
  virtual bool ShowColorDialog(QWidget* owner, ColorValue& color) = 0;

  // A one-line text prompt whose field starts with `initialText` (empty unless given); Cancel and
  // OK on an empty field both give an empty text.
  virtual QString InputBox(QWidget* owner, const QString& title, const QString& prompt,
                           const QString& initialText = {}) = 0;

  // A message box with one OK button.
  virtual void MessageBox(QWidget* owner, const QString& title, const QString& text,
                          MessageIcon icon) = 0;

  // A question with Yes and No buttons and no icon; true for Yes.
  virtual bool AskYesNo(QWidget* owner, const QString& title, const QString& text) = 0;

  // One of the program's own windows (the about box) shown application-modal until the user
  // closes it; the dialog's result code.
  virtual int RunModal(QDialog& dialog) = 0;

  // Runs `work` on a worker thread while the windows take no input; the events of the program
  // go on meanwhile. Work that takes more than a moment shows a box titled `title` saying
  // `label`, with a Cancel button. True when the work finished; false when the user cancelled,
  // which returns at once: the work may then still be running, so it must own (hold by value or
  // shared pointer) everything it touches, and its result is to be dropped.
  virtual bool RunInBackground(QWidget* owner, const QString& title, const QString& label,
                               BackgroundWork work) = 0;
};

// The service in use: the Qt one unless a test installed another.
DialogService& Dialogs();
// Installs `service` (not owned); nullptr brings the Qt implementation back.
void SetDialogs(DialogService* service);

// The warning box of the palette readers: title "Warning", stop icon, OK.
void ShowWarning(QWidget* owner, const QString& text);

}  // namespace tavlo
