// The real Qt file and colour dialogs, driven offscreen while they run modally.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "dialogs/qt_dialog_service.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

// Runs `step` on the topmost modal window of type T as soon as it shows. A window that never
// shows fails the test and closes whatever modal window is open, so nothing hangs.
template <typename T>
void WhenShown(std::function<void(T*)> step) {
  auto* timer = new QTimer;
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, tries, step] {
    QWidget* modal = QApplication::activeModalWidget();
    if (T* window = qobject_cast<T*>(modal)) {
      timer->stop();
      timer->deleteLater();
      step(window);
    } else if (++*tries > 500) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "expected window did not show";
      if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    }
  });
  timer->start(10);
}

void TypeAndAccept(QFileDialog* dialog, const QString& name) {
  auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(edit, nullptr);
  edit->setText(name);
  QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
}

void Press(QMessageBox* box, QMessageBox::StandardButton button) {
  QMetaObject::invokeMethod(box->button(button), &QPushButton::click, Qt::QueuedConnection);
}

const QString kFilter = "Adobe ACT palette-file|*.act|Jasc palette-file|*.pal|All|*.*";

class QtDialogsTest : public ::testing::Test {
 protected:
  QtDialogService service_;
  QTemporaryDir dir_;
};

TEST_F(QtDialogsTest, SaveAppendsTheDefaultExtensionAndSplitsThePath) {
  QString seen;
  WhenShown<QFileDialog>([&](QFileDialog* dialog) {
    seen = dialog->windowTitle() + '|' + dialog->selectedNameFilter() + '|' +
           dialog->directory().absolutePath();
    TypeAndAccept(dialog, "mypal");
  });
  QString directory = dir_.path();
  const QString name =
      service_.ShowSaveDialog(nullptr, "Save Palette", directory, "noname", kFilter, "act");
  EXPECT_EQ(seen, "Save Palette|Adobe ACT palette-file (*.act)|" + dir_.path());
  EXPECT_EQ(name, "mypal.act");
  EXPECT_EQ(directory, dir_.path() + '/');
}

TEST_F(QtDialogsTest, SaveTellsTheChosenFilterAndGivesABareNameItsExtension) {
  const QString filter = "Windows Bitmap|*.bmp|GIF|*.gif|PNG|*.png|All files|*.*";
  WhenShown<QFileDialog>([&](QFileDialog* dialog) {
    dialog->selectNameFilter("GIF (*.gif)");
    emit dialog->filterSelected("GIF (*.gif)");  // as the filter box does when the user picks
    TypeAndAccept(dialog, "picture");
  });
  QString directory = dir_.path();
  int chosen = -1;
  EXPECT_EQ(
      service_.ShowSaveDialog(nullptr, "Save Preview", directory, "noname", filter, "bmp", &chosen),
      "picture.gif");
  EXPECT_EQ(chosen, 1);

  WhenShown<QFileDialog>([&](QFileDialog* dialog) { TypeAndAccept(dialog, "other"); });
  EXPECT_EQ(
      service_.ShowSaveDialog(nullptr, "Save Preview", directory, "noname", filter, "bmp", &chosen),
      "other.bmp");
  EXPECT_EQ(chosen, 0);
}

TEST_F(QtDialogsTest, SaveConfirmsReplacingAnExistingFile) {
  WriteBytes(dir_.filePath("old.pal"), "x");
  int confirmations = 0;
  WhenShown<QFileDialog>([&](QFileDialog* dialog) {
    WhenShown<QMessageBox>([&](QMessageBox* box) {
      ++confirmations;
      Press(box, QMessageBox::Yes);
    });
    TypeAndAccept(dialog, "old.pal");
  });
  QString directory = dir_.path();
  EXPECT_EQ(service_.ShowSaveDialog(nullptr, "Save Palette", directory, "noname", kFilter, "act"),
            "old.pal");
  EXPECT_EQ(confirmations, 1);
}

TEST_F(QtDialogsTest, CancelLeavesTheDirectoryExactlyAsPassed) {
  WhenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
  QString directory = dir_.path();  // no trailing separator
  EXPECT_EQ(service_.ShowOpenDialog(nullptr, "Open Palette", directory, "", kFilter, "act"), "");
  EXPECT_EQ(directory, dir_.path());
}

TEST_F(QtDialogsTest, OpenAcceptsOnlyAnExistingFile) {
  WriteBytes(dir_.filePath("here.act"), "x");
  int refusals = 0;
  WhenShown<QFileDialog>([&](QFileDialog* dialog) {
    WhenShown<QMessageBox>([&, dialog](QMessageBox* box) {
      ++refusals;
      Press(box, QMessageBox::Ok);
      // The dialog is still open; now a name of an existing file, without its extension.
      WhenShown<QFileDialog>([](QFileDialog* again) { TypeAndAccept(again, "here"); });
    });
    TypeAndAccept(dialog, "absent.act");
  });
  QString directory = dir_.path() + '/';
  EXPECT_EQ(service_.ShowOpenDialog(nullptr, "Open Palette", directory, "", kFilter, "act"),
            "here.act");
  EXPECT_EQ(refusals, 1);
  EXPECT_EQ(directory, dir_.path() + '/');
}

TEST_F(QtDialogsTest, ColorDialogStartsFromTheColorWithWhiteCustomColorsEveryTime) {
  QList<QColor> startColors;
  QList<QColor> customAtStart;
  const auto pick = [&](QColor answer) {
    WhenShown<QColorDialog>([&, answer](QColorDialog* dialog) {
      startColors << dialog->currentColor();
      customAtStart << QColorDialog::customColor(0) << QColorDialog::customColor(15);
      QColorDialog::setCustomColor(0, Qt::red);  // mixed by the user, not to be kept
      dialog->setCurrentColor(answer);
      QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
    });
  };
  ColorValue color = 0x000080FF;
  pick(QColor(1, 2, 3));
  EXPECT_TRUE(service_.ShowColorDialog(nullptr, color));
  EXPECT_EQ(color, MakeColor(1, 2, 3));
  pick(QColor(9, 9, 9));
  EXPECT_TRUE(service_.ShowColorDialog(nullptr, color));
  ASSERT_EQ(startColors.size(), 2);
  EXPECT_EQ(startColors[0], QColor(255, 128, 0));
  EXPECT_EQ(startColors[1], QColor(1, 2, 3));
  for (const QColor& custom : customAtStart) EXPECT_EQ(custom, QColor(Qt::white));

  WhenShown<QColorDialog>([](QColorDialog* dialog) { dialog->reject(); });
  EXPECT_FALSE(service_.ShowColorDialog(nullptr, color));
  EXPECT_EQ(color, MakeColor(9, 9, 9));
}

}  // namespace
}  // namespace tavlo::testing
