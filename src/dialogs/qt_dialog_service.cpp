#include "dialogs/qt_dialog_service.h"

#include <QColorDialog>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QFutureWatcher>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPromise>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <memory>

#include "dialogs/busy_pointer.h"
#include "dialogs/file_filter.h"

namespace tavlo {
namespace {

enum class FileMode { Open, Save };

// Qt's own dialog rather than the desktop's: it honours every part of the contract (the default
// extension, the preselected filter, the must-exist and overwrite checks) on every desktop.
// The extension of a filter of one "*.ext" pattern ("GIF (*.gif)" -> "gif"), else `otherwise`.
QString SuffixOf(const QString& nameFilter, const QString& otherwise) {
  const qsizetype open = nameFilter.lastIndexOf(QLatin1String("(*."));
  if (open < 0 || !nameFilter.endsWith(QLatin1Char(')'))) return otherwise;
  const QString suffix = nameFilter.mid(open + 3, nameFilter.size() - open - 4);
  if (suffix.isEmpty() || suffix.contains(QLatin1Char(' ')) || suffix.contains(QLatin1Char('*')))
    return otherwise;
  return suffix;
}

QString ShowFileDialog(QWidget* owner, const QString& title, QString& directory,
                       const QString& defaultName, const QString& filter, const QString& defaultExt,
                       FileMode mode, int* chosenFilter = nullptr) {
  QFileDialog dialog(owner, title, directory);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  const QStringList nameFilters = ToNameFilters(filter);
  dialog.setNameFilters(nameFilters);
  if (!nameFilters.isEmpty()) dialog.selectNameFilter(nameFilters.first());
  dialog.setDefaultSuffix(defaultExt);
  if (mode == FileMode::Save) {
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &nameFilters, &defaultExt](const QString& chosen) {
                       // The first pair keeps the caller's default extension.
                       dialog.setDefaultSuffix(chosen == nameFilters.value(0)
                                                   ? defaultExt
                                                   : SuffixOf(chosen, defaultExt));
                     });
  }
  if (mode == FileMode::Open) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
  }
  if (!defaultName.isEmpty()) dialog.selectFile(defaultName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const ChosenFile chosen = SplitChosenPath(dialog.selectedFiles().first());
  if (chosen.name.isEmpty()) return {};
  directory = chosen.directory;
  if (chosenFilter)
    *chosenFilter = std::max(0, static_cast<int>(nameFilters.indexOf(dialog.selectedNameFilter())));
  return chosen.name;
}

// Work quicker than this shows no busy box, so that no box flashes up and away.
constexpr int kBusyBoxDelayMilliseconds = 300;

// What a worker shares with the call that started it, which may return before the worker ends.
struct BackgroundState {
  std::atomic<bool> stop{false};
  std::exception_ptr failure;  // written before the work counts as finished
  QPromise<void> done;
};

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Critical:
      return QMessageBox::Critical;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QString QtDialogService::ShowOpenDialog(QWidget* owner, const QString& title, QString& directory,
                                        const QString& defaultName, const QString& filter,
                                        const QString& defaultExt) {
  return ShowFileDialog(owner, title, directory, defaultName, filter, defaultExt, FileMode::Open);
}

QString QtDialogService::ShowSaveDialog(QWidget* owner, const QString& title, QString& directory,
                                        const QString& defaultName, const QString& filter,
                                        const QString& defaultExt, int* chosenFilter) {
  return ShowFileDialog(owner, title, directory, defaultName, filter, defaultExt, FileMode::Save,
                        chosenFilter);
}

bool QtDialogService::ShowColorDialog(QWidget* owner, ColorValue& color) {
  // The custom colours start white at every call; nothing mixed earlier is kept.
  for (int i = 0; i < QColorDialog::customCount(); ++i) QColorDialog::setCustomColor(i, Qt::white);
  QColorDialog dialog(QColor(RedOf(color), GreenOf(color), BlueOf(color)), owner);
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QColor chosen = dialog.selectedColor();
  if (!chosen.isValid()) return false;
  color = MakeColor(chosen.red(), chosen.green(), chosen.blue());
  return true;
}

QString QtDialogService::InputBox(QWidget* owner, const QString& title, const QString& prompt,
                                  const QString& initialText) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(owner, title, prompt, QLineEdit::Normal, initialText, &ok);
  return ok ? text : QString();
}

void QtDialogService::MessageBox(QWidget* owner, const QString& title, const QString& text,
                                 MessageIcon icon) {
  QMessageBox box(ToQtIcon(icon), title, text, QMessageBox::Ok, owner);
  box.exec();
}

bool QtDialogService::AskYesNo(QWidget* owner, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, owner);
  return box.exec() == QMessageBox::Yes;
}

int QtDialogService::RunModal(QDialog& dialog) {
  // Neither the main window nor the palette window takes input while it is open.
  dialog.setWindowModality(Qt::ApplicationModal);
  return dialog.exec();
}

bool QtDialogService::RunInBackground(QWidget* owner, const QString& title, const QString& label,
                                      BackgroundWork work) {
  auto state = std::make_shared<BackgroundState>();
  const QFuture<void> finished = state->done.future();
  QEventLoop loop;
  QFutureWatcher<void> watcher;
  QObject::connect(&watcher, &QFutureWatcher<void>::finished, &loop, &QEventLoop::quit);
  watcher.setFuture(finished);
  state->done.start();
  // The global pool, which the application waits for as it ends: work left running after a
  // Cancel never outlives the program's data.
  QThreadPool::globalInstance()->start([state, work = std::move(work)] {
    try {
      work(state->stop);
    } catch (...) {
      state->failure = std::current_exception();
    }
    state->done.finish();
  });

  // A moment with no box: input waits meanwhile and reaches the windows once the work is done.
  QTimer delay;
  delay.setSingleShot(true);
  QObject::connect(&delay, &QTimer::timeout, &loop, &QEventLoop::quit);
  delay.start(kBusyBoxDelayMilliseconds);
  {
    BusyPointer busy;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  bool cancelled = false;
  if (!finished.isFinished()) {
    QProgressDialog box(label, QStringLiteral("Cancel"), 0, 0, owner);
    box.setWindowTitle(title);
    box.setWindowModality(Qt::ApplicationModal);
    box.setAutoClose(false);
    box.setAutoReset(false);
    box.setMinimumDuration(0);
    auto cancel = [&] {
      cancelled = true;
      loop.quit();
    };
    QObject::connect(&box, &QProgressDialog::canceled, &loop, cancel);
    QObject::connect(&box, &QDialog::rejected, &loop, cancel);
    box.show();
    loop.exec();
  }
  // Also when the program quit meanwhile, which ends every event loop.
  if (cancelled || !finished.isFinished()) {
    state->stop = true;
    return false;
  }
  if (state->failure) std::rethrow_exception(state->failure);
  return true;
}

}  // namespace tavlo
