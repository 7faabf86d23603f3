#pragma once
// The palette as a document: the 256 colours, the selection and the settings of the result that
// belong to this palette (the working range), the one copy that every part of the program reads,
// changes and observes. Windows only show it; commands change it.
//
// Changes and their announcement:
// - SetEntryColor, SetSelectedEntry, SetSelectionFrame and MoveSelectionTo take effect at once:
//   the next GetEntryColor or SelectedEntry sees them, and Revision() has grown.
// - Observers hear of changes through EntriesChanged (the range of entries whose colour changed)
//   SelectionChanged and ResultSettingsChanged. Changes made inside a step are announced once, when
//   the step ends, with the range covering all of them; changes outside a step are announced as
//   they happen.
//
// Steps and history:
// - A step is one user action: open a PaletteStep (or call Apply) with the action's name, make
//   any number of changes, and let the step end. A step whose colours and result settings end
//   as they began adds nothing to the history, whatever the selection did. Steps opened inside a
//   step are part of the outer one and their names are ignored.
// - A colour change outside any step is a step of its own, named "Change entry". Moving the
//   selection or changing the result settings outside a step is no step at all: neither is
//   content, yet both belong to the palette they were chosen for.
// - Undo puts back the colours, the selection and the result settings exactly as they were when
//   the step began; Redo puts them back as they were when it ended. A new step drops what could
//   be redone.
// - The history keeps the newest HistoryLimit() steps (1000 unless the constructor says
//   otherwise); the oldest ones are forgotten first.
//
// Modified: true when the colours differ from those at the last MarkUnmodified (at first: all
// black). Opening and saving a palette file call MarkUnmodified; undoing back to that palette
// makes the document unmodified again.
//
// Everything runs on the thread that owns the document; the document never blocks.
#include <QObject>
#include <QString>
#include <bitset>
#include <deque>
#include <optional>
#include <vector>

#include "base/color_value.h"
#include "base/entry_range.h"

namespace tavlo {

// The selection state: the selected entry and the frame flag of every swatch. The selection
// commands keep exactly one frame, on the selected entry; SetSelectionFrame alone may differ.
struct PaletteSelection {
  int selected = 0;
  std::bitset<kPaletteSize> frames{1};  // entry 0 framed
  bool operator==(const PaletteSelection&) const = default;
};

// How the result of this palette is worked out: what the preview, the result window, the
// Optimize commands and the picture exports share. Restored with the palette by undo and redo.
struct ResultSettings {
  static constexpr int kNoTransparentEntry = -1;
  // The working range: the entries the picture is reduced to.
  EntryRange range{0, kPaletteSize - 1};
  // The palette index of the entry clear pixels take, or kNoTransparentEntry. It counts only
  // while it lies in the range.
  int transparent = kNoTransparentEntry;
  // The transparent entry's position in the range, or kNoTransparentEntry.
  int TransparentPosition() const {
    return transparent >= range.first && transparent <= range.last ? transparent - range.first
                                                                   : kNoTransparentEntry;
  }
  bool operator==(const ResultSettings&) const = default;
};

// The colours of a range of entries, in order.
std::vector<ColorValue> ColorsOf(const PaletteColors& colors, EntryRange range);

// Everything a step restores.
struct PaletteState {
  PaletteColors colors{};
  PaletteSelection selection;
  ResultSettings result;
  bool operator==(const PaletteState&) const = default;
};

class PaletteDocument : public QObject {
  Q_OBJECT
 public:
  static constexpr int kDefaultHistoryLimit = 1000;

  explicit PaletteDocument(QObject* parent = nullptr, int historyLimit = kDefaultHistoryLimit);
  ~PaletteDocument() override;

  // The colours. An index outside 0..255 reads as black and writes nothing.
  ColorValue GetEntryColor(int index) const;
  const PaletteColors& Colors() const { return state_.colors; }
  void SetEntryColor(int index, ColorValue color);
  // Every entry takes its colour from `colors`, as one step named `stepName`.
  void Apply(const QString& stepName, const PaletteColors& colors);

  // The selection. An index outside 0..255 is ignored.
  int SelectedEntry() const { return state_.selection.selected; }
  void SetSelectedEntry(int index);
  void SetSelectionFrame(int index, bool shown);
  bool SelectionFrameShown(int index) const;
  // Frame off the selected entry, frame on `index`, `index` selected.
  void MoveSelectionTo(int index);
  const PaletteState& State() const { return state_; }

  // The result settings. A range outside 0..255, or with its ends the wrong way round, and a
  // transparent entry outside 0..255 other than kNoTransparentEntry, are ignored.
  const ResultSettings& Result() const { return state_.result; }
  EntryRange WorkingRange() const { return state_.result.range; }
  void SetResultSettings(const ResultSettings& settings);
  void SetWorkingRange(EntryRange range);
  int TransparentEntry() const { return state_.result.transparent; }
  void SetTransparentEntry(int index);

  // Grows with every change of a colour (by undo and redo too); selection moves leave it. A
  // result computed from the colours is current while the revision it was computed at is.
  quint64 Revision() const { return revision_; }

  bool IsModified() const { return modified_; }
  void MarkUnmodified();

  // The history. Undo and Redo do nothing and return false while a step is open or when there
  // is nothing to undo or redo.
  bool CanUndo() const;
  bool CanRedo() const;
  QString UndoName() const;  // the step Undo would take back; empty when none
  QString RedoName() const;
  int UndoCount() const { return static_cast<int>(undo_.size()); }
  int RedoCount() const { return static_cast<int>(redo_.size()); }
  int HistoryLimit() const { return historyLimit_; }
  bool Undo();
  bool Redo();
  // The state the step Undo would take back began from; none when there is no such step.
  const PaletteState* StateBeforeLastStep() const;

 signals:
  // The colours of the entries in `range` may have changed (at least one of them did).
  void EntriesChanged(tavlo::EntryRange range);
  // The selected entry or a selection frame changed.
  void SelectionChanged();
  // The result settings changed.
  void ResultSettingsChanged();
  // What Undo and Redo would do changed: their names or whether they can.
  void HistoryChanged();
  void ModifiedChanged(bool modified);

 private:
  friend class PaletteStep;
  struct Step {
    QString name;
    PaletteState before;
    PaletteState after;
  };

  void BeginStep(const QString& name);
  void EndStep();
  void ColorsTouched(int first, int last);
  void SelectionTouched();
  void ResultTouched();
  // Puts back a state of the history and announces what differs.
  void Restore(const PaletteState& state);
  // Sends the signals for what changed since the last announcement.
  void Announce();
  void UpdateModified();

  PaletteState state_;
  PaletteColors unmodifiedColors_{};
  bool modified_ = false;
  quint64 revision_ = 0;
  int historyLimit_;
  std::deque<Step> undo_;
  std::deque<Step> redo_;

  // The open step.
  int depth_ = 0;
  Step open_;

  // What changed and is not yet announced.
  std::optional<EntryRange> pendingEntries_;
  bool pendingSelection_ = false;
  bool pendingResult_ = false;
  bool pendingModified_ = false;
  bool pendingHistory_ = false;
};

// One user action on the document: every change made while it lives becomes one undo step named
// `name`. The step ends when this object goes out of scope.
class PaletteStep {
 public:
  PaletteStep(PaletteDocument& document, const QString& name);
  ~PaletteStep();
  PaletteStep(const PaletteStep&) = delete;
  PaletteStep& operator=(const PaletteStep&) = delete;

 private:
  PaletteDocument& document_;
};

}  // namespace tavlo
