// The Edit menu: undo and redo of the palette document's steps, copy and paste of the selected
// entry's colour, and the last session's palette.
#include <QAction>

#include "app/main_window.h"
#include "commands/clipboard_commands.h"
#include "commands/last_session.h"
#include "palette_model/palette_document.h"
#include "result/result_window.h"

namespace tavlo {
namespace {

// "&Undo Sort & Clean": the step's name after the item's own caption, its "&" shown as itself.
QString CaptionWithStep(const QString& caption, QString step) {
  if (step.isEmpty()) return caption;
  return caption + QLatin1Char(' ') + step.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

void MainWindow::UndoCommand() {
  document_->Undo();
}

void MainWindow::RedoCommand() {
  document_->Redo();
}

void MainWindow::CopyColorCommand() {
  result_->ShowMessage(CopyEntryColor(*document_));
}

void MainWindow::PasteColorCommand() {
  const QString said = PasteEntryColor(*document_);
  result_->ShowMessage(said);  // after the change, which clears the last message
}

void MainWindow::RestoreLastSessionCommand() {
  RestoreLastSession(this, *document_);
  UpdateEditMenu();
}

void MainWindow::UpdateEditMenu() {
  undoItem_->setText(CaptionWithStep(QStringLiteral("&Undo"), document_->UndoName()));
  undoItem_->setEnabled(document_->CanUndo());
  redoItem_->setText(CaptionWithStep(QStringLiteral("&Redo"), document_->RedoName()));
  redoItem_->setEnabled(document_->CanRedo());
  restoreItem_->setEnabled(LastSessionExists());
}

}  // namespace tavlo
