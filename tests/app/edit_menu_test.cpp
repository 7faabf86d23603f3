// Undo and redo in the running program: every user action is one step named after it, undo and
// redo put back colours and selection exactly, a long random session follows a plain model, and
// every menu shortcut works in both windows.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <functional>
#include <optional>
#include <random>

#include "formats/act_format.h"
#include "operations/palette_operations.h"
#include "palette_model/palette_document.h"
#include "palette_window/palette_window.h"
#include "palette_window/swatch_grid.h"
#include "picture_view/picture_area.h"
#include "result/result_window.h"
#include "support/app_fixture.h"
#include "support/named_colors.h"
#include "support/test_files.h"

namespace tavlo::testing {
namespace {

// Pixel (x, y) of the picture is red x, green y, blue 7.
QImage Gradient() {
  QImage image(256, 64, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x, y, 7));
  return image;
}
ColorValue GradientAt(QPoint p) {
  return MakeColor(p.x(), p.y(), 7);
}

PaletteColors Varied(int seed) {
  PaletteColors colors;
  for (int i = 0; i < kPaletteSize; ++i)
    colors[i] = i % 7 == 3 ? 0 : MakeColor((i * seed) % 256, (i * 37) % 256, 255 - i);
  return colors;
}

class EditMenuTest : public AppFixture {
 public:
  // The actions of the table below drive the program through these.
  using AppFixture::dialogs_;
  using AppFixture::Palette;
  using AppFixture::StateDirectory;
  using AppFixture::TempPath;

  void SetUp() override {
    StartApp();
    ASSERT_TRUE(Gradient().save(TempPath("gradient.png"), "PNG"));
    OpenPicture(TempPath("gradient.png"));
    grid_ = Palette().Swatches();
    paletteWindow_ = Palette().windowHandle();
    ASSERT_TRUE(paletteWindow_);
  }

  void Run(const char* name) {
    Item(name)->trigger();
    QApplication::processEvents();
  }
  // Opening the Edit menu brings its items up to date.
  void OpenEditMenu() {
    QMenu* edit = Main().findChild<QMenu*>("mnuEdit");
    edit->popup(Main().geometry().center());
    edit->hide();
  }

  void Pick(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(Main().Picture()->Canvas(), button, Qt::NoModifier, at);
  }
  QPoint SwatchAt(int i) { return grid_->mapTo(&Palette(), SwatchGrid::SwatchRect(i).center()); }
  void ClickSwatch(int i, Qt::MouseButton button) {
    QTest::mouseClick(paletteWindow_, button, Qt::NoModifier, SwatchAt(i));
  }
  void DoubleClickSwatch(int i) {
    QTest::mouseDClick(paletteWindow_, Qt::LeftButton, Qt::NoModifier, SwatchAt(i));
  }
  void SwapSwatches(int from, int to) {
    QTest::mousePress(paletteWindow_, Qt::LeftButton, Qt::ControlModifier, SwatchAt(from));
    QTest::mouseMove(paletteWindow_, SwatchAt(to));
    QTest::mouseRelease(paletteWindow_, Qt::LeftButton, Qt::ControlModifier, SwatchAt(to));
  }

  SwatchGrid* grid_ = nullptr;
  QWindow* paletteWindow_ = nullptr;
};

// One user action, the name of its step, and what it needs from the dialogs.
struct Action {
  const char* label;
  const char* stepName;
  std::function<void(EditMenuTest&)> run;
};

class EachActionTest : public EditMenuTest, public ::testing::WithParamInterface<Action> {};

TEST_P(EachActionTest, IsOneNamedStepThatUndoAndRedoPutBackExactly) {
  Document().Apply("Set up", Varied(11));
  Document().MoveSelectionTo(30);
  const PaletteState before = Document().State();
  const int steps = Document().UndoCount();

  GetParam().run(*this);
  QApplication::processEvents();
  const PaletteState after = Document().State();
  ASSERT_NE(after.colors, before.colors);
  EXPECT_TRUE(dialogs_.AllAnswersUsed());
  EXPECT_EQ(Document().UndoCount(), steps + 1);
  QString caption = QStringLiteral("&Undo ") + GetParam().stepName;
  EXPECT_EQ(Item("mnuUndo")->text(), caption.replace(" & ", " && "));
  EXPECT_TRUE(Item("mnuUndo")->isEnabled());
  EXPECT_FALSE(Item("mnuRedo")->isEnabled());

  Run("mnuUndo");
  EXPECT_EQ(Document().State(), before);
  EXPECT_EQ(Item("mnuRedo")->text(), QString(caption).replace("&Undo", "&Redo"));
  EXPECT_TRUE(Item("mnuRedo")->isEnabled());
  Run("mnuRedo");
  EXPECT_EQ(Document().State(), after);
  EXPECT_EQ(Document().UndoCount(), steps + 1);
}

const Action kActions[] = {
    {"sort", "Sort & Clean", [](EditMenuTest& t) { t.Run("mu_sort"); }},
    {"compress", "Compress",
     [](EditMenuTest& t) {
       t.Palette().findChild<QComboBox*>("cmbCompress")->setCurrentIndex(20);
       t.Run("mnuCompress");
     }},
    {"websafe", "Convert to websafe colors", [](EditMenuTest& t) { t.Run("mnu_cv2ws"); }},
    {"greyscale", "Convert to greyscaled colors", [](EditMenuTest& t) { t.Run("mnu_cv2gs"); }},
    {"shift_left", "Shift palette left", [](EditMenuTest& t) { t.Run("mnuShiftl"); }},
    {"shift_right", "Shift palette right", [](EditMenuTest& t) { t.Run("mnuShiftr"); }},
    {"delete", "Delete entries",
     [](EditMenuTest& t) {
       t.dialogs_.AnswerInputs({"10", "40"});
       t.Run("mnu_d");
     }},
    {"open_palette", "Open palette",
     [](EditMenuTest& t) {
       WriteBytes(t.TempPath("sixteen.act"), WriteAct(Varied(5)));
       t.dialogs_.AnswerOpen(t.TempPath("sixteen.act"));
       t.Run("mnu_op");
     }},
    {"pick", "Pick color",
     [](EditMenuTest& t) {
       t.Pick({200, 50});
     }},
    {"clear", "Clear entry", [](EditMenuTest& t) { t.ClickSwatch(40, Qt::RightButton); }},
    {"edit", "Edit entry",
     [](EditMenuTest& t) {
       t.dialogs_.AnswerColor(kWhite);
       t.DoubleClickSwatch(30);  // the selected entry: its first click moves nothing
     }},
    {"swap", "Swap entries", [](EditMenuTest& t) { t.SwapSwatches(1, 200); }},
    {"restore", "Restore last session's palette",
     [](EditMenuTest& t) {
       QDir().mkpath(t.StateDirectory());
       WriteBytes(t.StateDirectory() + "/last-session.act", WriteAct(Varied(3)));
       t.OpenEditMenu();
       t.Run("mnuRestoreSession");
     }},
};

INSTANTIATE_TEST_SUITE_P(EditMenu, EachActionTest, ::testing::ValuesIn(kActions),
                         [](const auto& test) { return std::string(test.param.label); });

TEST_F(EditMenuTest, ActionsThatChangeNoColorAddNoStep) {
  Document().Apply("Set up", Varied(11));
  Run("mu_sort");
  const int steps = Document().UndoCount();
  Run("mu_sort");                      // sorted already
  ClickSwatch(255, Qt::RightButton);   // black already
  ClickSwatch(9, Qt::LeftButton);      // a selection only
  Pick({5, 5}, Qt::RightButton);       // a step back of the selection
  dialogs_.AnswerColor(std::nullopt);  // the colour dialog cancelled
  DoubleClickSwatch(12);
  dialogs_.AnswerInput("");  // the range prompt cancelled
  Run("mnu_d");
  EXPECT_EQ(Document().UndoCount(), steps);
  EXPECT_EQ(Item("mnuUndo")->text().toStdString(), "&Undo Sort && Clean");
}

TEST_F(EditMenuTest, OpeningAndSavingLeaveThePaletteUnmodified) {
  WriteBytes(TempPath("a.act"), WriteAct(Varied(5)));
  Document().SetEntryColor(0, kRed);
  EXPECT_TRUE(Document().IsModified());
  dialogs_.AnswerOpen(TempPath("a.act"));
  Run("mnu_op");
  EXPECT_FALSE(Document().IsModified());
  Run("mnuShiftl");
  EXPECT_TRUE(Document().IsModified());
  dialogs_.AnswerSave(TempPath("b.act"));
  Run("mnu_s16");
  EXPECT_FALSE(Document().IsModified());
  Run("mnuUndo");
  EXPECT_TRUE(Document().IsModified());
}

// The plain model of the random session: the document's state and its history of steps.
struct ModelStep {
  PaletteState before;
  PaletteState after;
};

class SessionModel {
 public:
  PaletteState state;

  void MoveSelection(int index) {
    state.selection.frames[state.selection.selected] = false;
    state.selection.frames[index] = true;
    state.selection.selected = index;
  }
  // After an action that began in `before`: a step when the colours changed.
  void Done(const PaletteState& before) {
    if (before.colors == state.colors) return;
    undo_.push_back({before, state});
    if (undo_.size() > static_cast<size_t>(PaletteDocument::kDefaultHistoryLimit))
      undo_.erase(undo_.begin());
    redo_.clear();
  }
  void Undo() {
    if (undo_.empty()) return;
    state = undo_.back().before;
    redo_.push_back(undo_.back());
    undo_.pop_back();
  }
  void Redo() {
    if (redo_.empty()) return;
    state = redo_.back().after;
    undo_.push_back(redo_.back());
    redo_.pop_back();
  }
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }

 private:
  std::vector<ModelStep> undo_;
  std::vector<ModelStep> redo_;
};

TEST_F(EditMenuTest, ARandomSessionFollowsAPlainModelStepByStep) {
  std::mt19937 random(13);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  SessionModel model;
  // Undo and redo are typed, half of the time into the palette window.
  auto type = [&](const char* keys) {
    QWidget* target = pick(2) ? static_cast<QWidget*>(&Palette()) : &Main();
    target->activateWindow();
    QTest::keySequence(target, QKeySequence(QString::fromLatin1(keys)));
  };

  for (int round = 0; round < 2000; ++round) {
    const PaletteState before = model.state;
    PaletteState& m = model.state;
    const int choice = pick(16);
    if (choice < 4) {  // picks into the selected entry, and steps back
      const QPoint at(pick(256), pick(64));
      const bool left = choice < 3;
      Pick(at, left ? Qt::LeftButton : Qt::RightButton);
      const int selected = m.selection.selected;
      if (left) {
        m.colors[selected] = GradientAt(at);
        if (selected < 255) model.MoveSelection(selected + 1);
      } else if (selected > 0) {
        model.MoveSelection(selected - 1);
      }
    } else if (choice == 4) {
      const int i = pick(256);
      ClickSwatch(i, Qt::LeftButton);
      model.MoveSelection(i);
    } else if (choice == 5) {
      const int i = pick(256);
      ClickSwatch(i, Qt::RightButton);
      model.MoveSelection(i);
      m.colors[i] = 0;
    } else if (choice == 6) {
      const int a = pick(256);
      const int b = pick(256);
      SwapSwatches(a, b);
      std::swap(m.colors[a], m.colors[b]);
    } else if (choice == 7) {
      switch (pick(6)) {
        case 0:
          Run("mu_sort");
          m.colors = SortAndClean(m.colors);
          break;
        case 1: {
          const int divisor = 2 + pick(49);
          Palette().findChild<QComboBox*>("cmbCompress")->setCurrentIndex(divisor - 2);
          Run("mnuCompress");
          m.colors = CompressPalette(m.colors, divisor);
          break;
        }
        case 2:
          Run("mnu_cv2ws");
          m.colors = ConvertToWebSafe(m.colors);
          break;
        case 3:
          Run("mnu_cv2gs");
          m.colors = ConvertToGreyscale(m.colors);
          break;
        case 4:
          Run("mnuShiftl");
          m.colors = ShiftPaletteLeft(m.colors);
          break;
        default: {
          const int first = pick(256);
          const int last = first + pick(256 - first);
          dialogs_.AnswerInputs({QString::number(first + 1), QString::number(last + 1)});
          Run("mnu_d");
          m.colors = ClearRange(m.colors, {first, last});
          model.MoveSelection(0);
          break;
        }
      }
    } else if (choice < 12) {
      type(pick(2) ? "Ctrl+Z" : "Alt+Backspace");
      model.Undo();
    } else {
      type(pick(2) ? "Ctrl+Y" : "Ctrl+Shift+Z");
      model.Redo();
    }
    if (choice < 8) model.Done(before);
    QApplication::processEvents();
    ASSERT_EQ(Document().State(), model.state) << "round " << round;
    ASSERT_EQ(Item("mnuUndo")->isEnabled(), model.CanUndo()) << "round " << round;
    ASSERT_EQ(Item("mnuRedo")->isEnabled(), model.CanRedo()) << "round " << round;
  }
  EXPECT_TRUE(dialogs_.CallsOf("color").empty());
}

// Copy puts the selected entry's colour on the clipboard as text; paste reads the usual
// spellings of a colour into the selected entry as one step, and refuses anything else with a
// reason in the status.
TEST_F(EditMenuTest, CopyAndPasteAColourThroughTheClipboard) {
  Document().SetEntryColor(5, MakeColor(0x12, 0xAB, 0xEF));
  Document().SetSelectedEntry(5);
  Run("mnuCopyColor");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "#12abef");
  Document().SetSelectedEntry(9);
  Run("mnuPasteColor");
  EXPECT_EQ(Document().GetEntryColor(9), MakeColor(0x12, 0xAB, 0xEF));
  EXPECT_EQ(Document().UndoName(), "Paste colour");
  auto* status = Main().Result()->findChild<QLabel*>("lblStatus");

  const struct {
    const char* text;
    std::optional<ColorValue> pasted;  // nothing: refused
  } cases[] = {
      {"00FF7f", MakeColor(0, 255, 127)},       {" #010203\n", MakeColor(1, 2, 3)},
      {"rgb(4, 5,6)", MakeColor(4, 5, 6)},      {"RGB( 255 ,0 , 9 )", MakeColor(255, 0, 9)},
      {"rgb(256, 0, 0)", std::nullopt},         {"#12345", std::nullopt},
      {"a picture of a red car", std::nullopt}, {"", std::nullopt},
  };
  for (const auto& c : cases) {
    QGuiApplication::clipboard()->setText(QString::fromUtf8(c.text));
    const PaletteState before = Document().State();
    const int undoCount = Document().UndoCount();
    Run("mnuPasteColor");
    if (c.pasted) {
      EXPECT_EQ(Document().GetEntryColor(9), *c.pasted) << c.text;
      EXPECT_EQ(Document().UndoCount(), undoCount + 1) << c.text;
    } else {
      EXPECT_EQ(Document().State(), before) << c.text;
      EXPECT_EQ(Document().UndoCount(), undoCount) << c.text;
      EXPECT_TRUE(status->text().contains("Nothing changed")) << status->text().toStdString();
    }
  }
}

TEST_F(EditMenuTest, EveryShortcutWorksInBothWindows) {
  std::vector<QAction*> items;
  for (QAction* entry : Main().menuBar()->actions())
    for (QAction* item : entry->menu() ? entry->menu()->actions() : QList<QAction*>{})
      if (!item->shortcuts().isEmpty() && item->objectName() != "mnuQuit") items.push_back(item);
  ASSERT_EQ(items.size(), 15u);
  Document().Apply("Set up", Varied(7));
  for (QWidget* window : {static_cast<QWidget*>(&Palette()), static_cast<QWidget*>(&Main())}) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    for (QAction* item : items) {
      for (const QKeySequence& keys : item->shortcuts()) {
        // The commands that ask are cancelled; undo needs a step to undo, redo one to redo.
        const QString name = item->objectName();
        if (name == "mnuUndo" && !Document().CanUndo()) Document().Apply("Set up", Varied(5));
        if (name == "mnu_OpenImage" || name == "mnu_op") dialogs_.AnswerOpen(std::nullopt);
        if (name == "mnu_s16") dialogs_.AnswerSave(std::nullopt);
        if (name == "mnu_d") dialogs_.AnswerInput("");
        if (name == "mnuRedo") Document().Undo();
        QSignalSpy triggered(item, &QAction::triggered);
        QTest::keySequence(window, keys);
        EXPECT_EQ(triggered.count(), 1)
            << keys.toString().toStdString() << " in " << window->objectName().toStdString();
        EXPECT_TRUE(dialogs_.AllAnswersUsed()) << name.toStdString();
      }
    }
  }
  Palette().activateWindow();
  QTest::keySequence(&Palette(), QKeySequence("Ctrl+Q"));
  EXPECT_FALSE(Main().isVisible());
}

}  // namespace
}  // namespace tavlo::testing
