// The palette document on its own: steps, undo and redo (of the colours, the selection and the
// working range), what observers hear, the history bound and the modified flag.
#include "palette_model/palette_document.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <random>

namespace tavlo::testing {
namespace {

constexpr ColorValue kRed = 0x000000FF;
constexpr ColorValue kGreen = 0x0000FF00;

PaletteColors Ramp(int seed) {
  PaletteColors colors;
  for (int i = 0; i < kPaletteSize; ++i) colors[i] = MakeColor(i, seed & 0xFF, (i * seed) & 0xFF);
  return colors;
}

TEST(PaletteDocumentTest, StartsBlackWithEntryZeroSelectedAndNothingToUndo) {
  const PaletteDocument document;
  EXPECT_EQ(document.Colors(), PaletteColors{});
  EXPECT_EQ(document.SelectedEntry(), 0);
  for (int i = 0; i < kPaletteSize; ++i) EXPECT_EQ(document.SelectionFrameShown(i), i == 0);
  EXPECT_FALSE(document.CanUndo());
  EXPECT_FALSE(document.CanRedo());
  EXPECT_FALSE(document.IsModified());
}

TEST(PaletteDocumentTest, AStepIsUndoneAndRedoneWithItsSelection) {
  PaletteDocument document;
  document.MoveSelectionTo(3);
  {
    const PaletteStep step(document, "Pick color");
    document.SetEntryColor(3, kRed);
    document.MoveSelectionTo(4);
  }
  const PaletteState after = document.State();
  EXPECT_EQ(document.UndoName(), "Pick color");
  document.MoveSelectionTo(200);  // selection moves are not steps

  ASSERT_TRUE(document.Undo());
  EXPECT_EQ(document.GetEntryColor(3), 0);
  EXPECT_EQ(document.SelectedEntry(), 3);
  for (int i = 0; i < kPaletteSize; ++i) EXPECT_EQ(document.SelectionFrameShown(i), i == 3);
  EXPECT_EQ(document.RedoName(), "Pick color");
  EXPECT_FALSE(document.CanUndo());

  ASSERT_TRUE(document.Redo());
  EXPECT_EQ(document.State(), after);
  EXPECT_FALSE(document.Redo());
}

TEST(PaletteDocumentTest, AStepThatChangesNoColorAddsNothing) {
  PaletteDocument document;
  document.SetEntryColor(0, kRed);
  ASSERT_EQ(document.UndoCount(), 1);
  document.Apply("Sort & Clean", document.Colors());
  {
    const PaletteStep step(document, "Clear entry");
    document.MoveSelectionTo(9);
    document.SetEntryColor(9, 0);  // already black
  }
  {
    const PaletteStep step(document, "Back and forth");
    document.SetEntryColor(1, kGreen);
    document.SetEntryColor(1, 0);
  }
  EXPECT_EQ(document.UndoCount(), 1);
  EXPECT_EQ(document.SelectedEntry(), 9);
}

TEST(PaletteDocumentTest, NestedStepsMakeOneStepNamedAfterTheOuterOne) {
  PaletteDocument document;
  {
    const PaletteStep outer(document, "Open palette");
    document.Apply("inner", Ramp(3));
    document.SetEntryColor(0, kRed);
    EXPECT_FALSE(document.CanUndo());  // not while a step is open
    EXPECT_FALSE(document.Undo());
  }
  EXPECT_EQ(document.UndoCount(), 1);
  EXPECT_EQ(document.UndoName(), "Open palette");
  document.Undo();
  EXPECT_EQ(document.Colors(), PaletteColors{});
}

TEST(PaletteDocumentTest, ChangesInsideAStepAreAnnouncedOnceWhenItEnds) {
  PaletteDocument document;
  QSignalSpy entries(&document, &PaletteDocument::EntriesChanged);
  QSignalSpy selection(&document, &PaletteDocument::SelectionChanged);
  QSignalSpy history(&document, &PaletteDocument::HistoryChanged);
  QSignalSpy result(&document, &PaletteDocument::ResultSettingsChanged);
  const quint64 revision = document.Revision();
  {
    const PaletteStep step(document, "Swap entries");
    document.SetEntryColor(40, kRed);
    document.SetEntryColor(7, kGreen);
    document.MoveSelectionTo(8);
    document.SetWorkingRange({7, 40});
    document.SetTransparentEntry(7);
    EXPECT_EQ(document.GetEntryColor(40), kRed);  // visible at once, announced later
    EXPECT_GT(document.Revision(), revision);
    EXPECT_EQ(entries.count(), 0);
    EXPECT_EQ(selection.count(), 0);
    EXPECT_EQ(result.count(), 0);
  }
  ASSERT_EQ(entries.count(), 1);
  EXPECT_EQ(entries.at(0).at(0).value<EntryRange>(), (EntryRange{7, 40}));
  EXPECT_EQ(selection.count(), 1);
  EXPECT_EQ(result.count(), 1);
  EXPECT_EQ(history.count(), 1);

  // Outside a step a change is announced at once, and undo announces what it put back.
  document.SetEntryColor(255, kRed);
  EXPECT_EQ(entries.count(), 2);
  document.Undo();
  document.Undo();
  ASSERT_EQ(entries.count(), 4);
  EXPECT_EQ(entries.at(3).at(0).value<EntryRange>(), (EntryRange{7, 40}));
  EXPECT_EQ(selection.count(), 2);
  EXPECT_EQ(result.count(), 2);
  EXPECT_EQ(document.WorkingRange(), (EntryRange{0, 255}));
  EXPECT_EQ(document.TransparentEntry(), ResultSettings::kNoTransparentEntry);
  document.Redo();
  EXPECT_EQ(document.Result().TransparentPosition(), 0);  // entry 7, first of the range
}

TEST(PaletteDocumentTest, SelectionMovesLeaveTheRevision) {
  PaletteDocument document;
  const quint64 revision = document.Revision();
  document.MoveSelectionTo(5);
  document.SetSelectionFrame(9, true);
  EXPECT_EQ(document.Revision(), revision);
  EXPECT_FALSE(document.CanUndo());
  document.SetEntryColor(0, kRed);
  document.Undo();
  document.Redo();
  EXPECT_EQ(document.Revision(), revision + 3);
}

TEST(PaletteDocumentTest, EntriesOutsideThePaletteAreIgnored) {
  PaletteDocument document;
  document.SetEntryColor(-1, kRed);
  document.SetEntryColor(256, kRed);
  document.MoveSelectionTo(256);
  document.SetSelectedEntry(-1);
  for (const EntryRange range : {EntryRange{-1, 3}, EntryRange{4, 256}, EntryRange{9, 8}})
    document.SetWorkingRange(range);
  for (const int transparent : {-2, 256}) document.SetTransparentEntry(transparent);
  EXPECT_EQ(document.GetEntryColor(256), 0);
  EXPECT_EQ(document.State(), PaletteState{});
  EXPECT_FALSE(document.CanUndo());
}

TEST(PaletteDocumentTest, HistoryKeepsItsNewestStepsWithinTheBound) {
  PaletteDocument document;
  ASSERT_GE(document.HistoryLimit(), 1000);
  const int steps = document.HistoryLimit() + 50;
  for (int i = 1; i <= steps; ++i) document.SetEntryColor(i % kPaletteSize, i);
  EXPECT_EQ(document.UndoCount(), document.HistoryLimit());
  while (document.Undo()) {
  }
  // The 50 oldest steps are forgotten: entries hold what the 50th step left.
  for (int i = 1; i <= 50; ++i) EXPECT_EQ(document.GetEntryColor(i), i) << i;
  EXPECT_EQ(document.GetEntryColor(51), 0);
  EXPECT_EQ(document.RedoCount(), document.HistoryLimit());

  // A new step after undoing forgets what could be redone.
  document.Redo();
  document.SetEntryColor(0, kRed);
  EXPECT_EQ(document.RedoCount(), 0);
  EXPECT_FALSE(document.CanRedo());
}

TEST(PaletteDocumentTest, ModifiedFollowsTheColorsSinceTheLastOpenOrSave) {
  PaletteDocument document;
  QSignalSpy modified(&document, &PaletteDocument::ModifiedChanged);
  document.SetEntryColor(0, kRed);
  EXPECT_TRUE(document.IsModified());
  document.MarkUnmodified();
  EXPECT_FALSE(document.IsModified());
  document.Undo();
  EXPECT_TRUE(document.IsModified());
  document.Redo();
  EXPECT_FALSE(document.IsModified());
  document.MoveSelectionTo(4);
  EXPECT_FALSE(document.IsModified());
  ASSERT_EQ(modified.count(), 4);
  EXPECT_EQ(modified.at(3).at(0).toBool(), false);
}

// A plain model of what the document must hold: the state, and the undo and redo lists of
// (before, after) states.
struct ModelStep {
  PaletteState before;
  PaletteState after;
};

struct PlainModel {
  PaletteState state;
  std::vector<ModelStep> undo;
  std::vector<ModelStep> redo;
  size_t limit = 0;

  void Record(const PaletteState& before) {
    if (before.colors == state.colors && before.result == state.result) return;
    undo.push_back({before, state});
    if (undo.size() > limit) undo.erase(undo.begin());
    redo.clear();
  }
  void MoveSelection(int index) {
    state.selection.frames[state.selection.selected] = false;
    state.selection.frames[index] = true;
    state.selection.selected = index;
  }
};

TEST(PaletteDocumentTest, RandomEditsUndosAndRedosFollowAPlainModel) {
  PaletteDocument document(nullptr, 40);  // small, so that the bound is reached often
  PlainModel model;
  model.limit = 40;
  std::mt19937 random(20240613);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };

  for (int round = 0; round < 2000; ++round) {
    const PaletteState before = model.state;
    switch (pick(9)) {
      case 0: {  // a whole-palette command
        PaletteColors colors = model.state.colors;
        for (ColorValue& c : colors)
          if (pick(3) == 0) c = pick(4) == 0 ? 0 : MakeColor(pick(256), pick(256), pick(256));
        document.Apply("Command", colors);
        model.state.colors = colors;
        model.Record(before);
        break;
      }
      case 1: {  // a pick: the selected entry takes a colour, the selection moves on
        const ColorValue color = pick(3) == 0 ? model.state.colors[0] : pick(1 << 24);
        const int selected = model.state.selection.selected;
        {
          const PaletteStep step(document, "Pick color");
          document.SetEntryColor(selected, color);
          if (selected < 255) document.MoveSelectionTo(selected + 1);
        }
        model.state.colors[selected] = color;
        if (selected < 255) model.MoveSelection(selected + 1);
        model.Record(before);
        break;
      }
      case 2: {  // a plain selection move
        const int index = pick(256);
        document.MoveSelectionTo(index);
        model.MoveSelection(index);
        break;
      }
      case 3: {  // a swap
        const int a = pick(256);
        const int b = pick(256);
        {
          const PaletteStep step(document, "Swap entries");
          const ColorValue ca = document.GetEntryColor(a);
          document.SetEntryColor(a, document.GetEntryColor(b));
          document.SetEntryColor(b, ca);
        }
        std::swap(model.state.colors[a], model.state.colors[b]);
        model.Record(before);
        break;
      }
      case 4: {  // the working range chosen, which is no step
        const int first = pick(256);
        const EntryRange range{first, first + pick(256 - first)};
        document.SetWorkingRange(range);
        model.state.result.range = range;
        break;
      }
      case 5: {  // an Optimize command: the range's colours and the entries that hold them
        const EntryRange range = model.state.result.range;
        const EntryRange kept{range.first, range.first + pick(range.Count())};
        PaletteColors colors = model.state.colors;
        if (pick(2)) colors[size_t(kept.last)] = MakeColor(pick(256), 1, 2);
        {
          const PaletteStep step(document, "Merge near colours");
          document.Apply("Merge near colours", colors);
          document.SetWorkingRange(kept);
        }
        model.state.colors = colors;
        model.state.result.range = kept;
        model.Record(before);
        break;
      }
      case 6:
      case 7:
        EXPECT_EQ(document.Undo(), !model.undo.empty());
        if (!model.undo.empty()) {
          model.state = model.undo.back().before;
          model.redo.push_back(model.undo.back());
          model.undo.pop_back();
        }
        break;
      default:
        EXPECT_EQ(document.Redo(), !model.redo.empty());
        if (!model.redo.empty()) {
          model.state = model.redo.back().after;
          model.undo.push_back(model.redo.back());
          model.redo.pop_back();
        }
        break;
    }
    ASSERT_EQ(document.State(), model.state) << "round " << round;
    ASSERT_EQ(document.UndoCount(), static_cast<int>(model.undo.size())) << "round " << round;
    ASSERT_EQ(document.RedoCount(), static_cast<int>(model.redo.size())) << "round " << round;
    const PaletteState* base = document.StateBeforeLastStep();
    ASSERT_EQ(base != nullptr, !model.undo.empty());
    if (base) {
      ASSERT_EQ(*base, model.undo.back().before) << "round " << round;
    }
  }
}

}  // namespace
}  // namespace tavlo::testing
