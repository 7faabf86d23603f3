// The Palette menu of the running program: each command rewrites the palette window's entries and
// leaves the selection as its rule says.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>

#include "operations/palette_operations.h"
#include "palette_model/palette_document.h"
#include "palette_window/palette_window.h"
#include "support/app_fixture.h"

namespace tavlo::testing {
namespace {

constexpr ColorValue kBlack = 0x00000000;
constexpr ColorValue kRed = 0x000000FF;
constexpr ColorValue kWhite = 0x00FFFFFF;

class PaletteMenuTest : public AppFixture {
 protected:
  void SetUp() override { StartApp(); }

  void Run(const char* item) {
    QAction* action = Main().findChild<QAction*>(QString::fromLatin1(item));
    ASSERT_TRUE(action) << item;
    action->trigger();
    QApplication::processEvents();
  }

  void Fill(const PaletteColors& colors) {
    for (int i = 0; i < kPaletteSize; ++i) Document().SetEntryColor(i, colors[i]);
  }

  // Selects entry `index` the way a left click does, so the displays show it.
  void Select(int index) {
    Document().MoveSelectionTo(index);
    Palette().ShowCurrentColor(Document().GetEntryColor(index));
    Palette().ShowEntryInfo(Document().GetEntryColor(index));
  }

  QString HexLine() { return Palette().findChild<QLabel*>("lblHTML")->text(); }

  static PaletteColors Varied() {
    PaletteColors colors;
    for (int i = 0; i < kPaletteSize; ++i) colors[i] = MakeColor(i, (i * 37) % 256, 255 - i);
    return colors;
  }
};

TEST_F(PaletteMenuTest, DeleteClearsTheRangeAndSelectsEntryZeroShowingBlack) {
  PaletteColors colors;
  colors.fill(kWhite);
  colors[0] = kRed;
  Fill(colors);
  Select(30);
  dialogs_.AnswerInputs({"10", "20"});
  Run("mnu_d");
  EXPECT_EQ(Document().Colors(), ClearRange(colors, {9, 19}));
  EXPECT_EQ(Document().GetEntryColor(0), kRed);
  EXPECT_EQ(Document().SelectedEntry(), 0);
  EXPECT_TRUE(Document().SelectionFrameShown(0));
  EXPECT_FALSE(Document().SelectionFrameShown(30));
  EXPECT_EQ(Palette().CurrentColorShown(), QColor(0, 0, 0));
  // The info panel is no part of the delete.
  EXPECT_EQ(HexLine(), "FFFFFF");
  const auto inputs = dialogs_.CallsOf("input");
  ASSERT_EQ(inputs.size(), 2u);
  EXPECT_EQ(inputs[0].title, "Delete palette");
  EXPECT_EQ(inputs[1].title, "Delete palette");
}

TEST_F(PaletteMenuTest, DeleteWithEntryZeroSelectedKeepsItsFrame) {
  Fill(Varied());
  dialogs_.AnswerInputs({"1", "256"});
  Run("mnu_d");
  EXPECT_EQ(Document().Colors(), PaletteColors{});
  EXPECT_EQ(Document().SelectedEntry(), 0);
  EXPECT_TRUE(Document().SelectionFrameShown(0));
}

TEST_F(PaletteMenuTest, DeleteRefusesFractionsAndCancelChangesNothing) {
  Fill(Varied());
  Select(30);
  const QColor shown = Palette().CurrentColorShown();
  // "2.5" is refused like any other answer that is not a plain whole number; then Cancel.
  dialogs_.AnswerInputs({"2.5", "3", "3.0", ""});
  Run("mnu_d");
  EXPECT_TRUE(dialogs_.AllAnswersUsed());
  EXPECT_EQ(dialogs_.CallsOf("input").size(), 4u);
  EXPECT_EQ(Document().Colors(), Varied());
  EXPECT_EQ(Document().SelectedEntry(), 30);
  EXPECT_TRUE(Document().SelectionFrameShown(30));
  EXPECT_EQ(Palette().CurrentColorShown(), shown);
}

// Shifts, sorting and the conversions write the entries only: the selection, its frame and both
// displays stay as they were.
TEST_F(PaletteMenuTest, WholePaletteCommandsLeaveTheSelectionAlone) {
  const struct {
    const char* item;
    PaletteColors (*expected)(const PaletteColors&);
  } commands[] = {{"mnuShiftl", ShiftPaletteLeft},
                  {"mnuShiftr", ShiftPaletteRight},
                  {"mu_sort", SortAndClean},
                  {"mnu_cv2ws", ConvertToWebSafe},
                  {"mnu_cv2gs", ConvertToGreyscale}};
  for (const auto& command : commands) {
    Fill(Varied());
    Select(12);
    const QColor shown = Palette().CurrentColorShown();
    const QString hex = HexLine();
    Run(command.item);
    EXPECT_EQ(Document().Colors(), command.expected(Varied())) << command.item;
    EXPECT_EQ(Document().SelectedEntry(), 12) << command.item;
    EXPECT_TRUE(Document().SelectionFrameShown(12)) << command.item;
    EXPECT_EQ(Palette().CurrentColorShown(), shown) << command.item;
    EXPECT_EQ(HexLine(), hex) << command.item;
  }
}

TEST_F(PaletteMenuTest, CompressUsesTheDivisorChosenInThePaletteWindow) {
  auto* divisors = Palette().findChild<QComboBox*>("cmbCompress");
  divisors->setCurrentIndex(divisors->findText("50"));
  Fill(Varied());
  Run("mnuCompress");
  EXPECT_EQ(Document().Colors(), CompressPalette(Varied(), 50));

  // With nothing chosen the first item, 2, counts.
  divisors->setCurrentIndex(-1);
  Fill(Varied());
  Run("mnuCompress");
  EXPECT_EQ(Document().Colors(), CompressPalette(Varied(), 2));
  EXPECT_NE(CompressPalette(Varied(), 2), CompressPalette(Varied(), 3));
}

}  // namespace
}  // namespace tavlo::testing
