#include "palette_model/palette_document.h"

#include <algorithm>
#include <utility>

namespace tavlo {
namespace {

bool IsEntry(int index) {
  return index >= 0 && index < kPaletteSize;
}

bool IsRange(EntryRange range) {
  return IsEntry(range.first) && IsEntry(range.last) && range.first <= range.last;
}

// Whether a step that took the document from `before` to `after` is worth undoing.
bool IsContentChange(const PaletteState& before, const PaletteState& after) {
  return before.colors != after.colors || before.result != after.result;
}

// The smallest range holding every entry whose colour differs between the two palettes.
std::optional<EntryRange> Differences(const PaletteColors& a, const PaletteColors& b) {
  int first = 0;
  while (first < kPaletteSize && a[first] == b[first]) ++first;
  if (first == kPaletteSize) return std::nullopt;
  int last = kPaletteSize - 1;
  while (a[last] == b[last]) --last;
  return EntryRange{first, last};
}

const QString& ChangeEntryName() {
  static const QString name = QStringLiteral("Change entry");
  return name;
}

}  // namespace

std::vector<ColorValue> ColorsOf(const PaletteColors& colors, EntryRange range) {
  return {colors.begin() + range.first, colors.begin() + range.last + 1};
}

PaletteDocument::PaletteDocument(QObject* parent, int historyLimit)
    : QObject(parent), historyLimit_(std::max(1, historyLimit)) {}

PaletteDocument::~PaletteDocument() = default;

ColorValue PaletteDocument::GetEntryColor(int index) const {
  return IsEntry(index) ? state_.colors[index] : 0;
}

void PaletteDocument::SetEntryColor(int index, ColorValue color) {
  if (!IsEntry(index) || state_.colors[index] == color) return;
  if (depth_ == 0) {
    // A change outside any step still has to be undoable.
    const PaletteStep step(*this, ChangeEntryName());
    SetEntryColor(index, color);
    return;
  }
  state_.colors[index] = color;
  ColorsTouched(index, index);
}

void PaletteDocument::Apply(const QString& stepName, const PaletteColors& colors) {
  const PaletteStep step(*this, stepName);
  for (int i = 0; i < kPaletteSize; ++i) SetEntryColor(i, colors[i]);
}

void PaletteDocument::SetSelectedEntry(int index) {
  if (!IsEntry(index) || state_.selection.selected == index) return;
  state_.selection.selected = index;
  SelectionTouched();
}

void PaletteDocument::SetSelectionFrame(int index, bool shown) {
  if (!IsEntry(index) || state_.selection.frames[index] == shown) return;
  state_.selection.frames[index] = shown;
  SelectionTouched();
}

bool PaletteDocument::SelectionFrameShown(int index) const {
  return IsEntry(index) && state_.selection.frames[index];
}

void PaletteDocument::MoveSelectionTo(int index) {
  if (!IsEntry(index)) return;
  PaletteSelection& selection = state_.selection;
  const PaletteSelection before = selection;
  // Off first, then on: the new entry ends framed also when it is the old one.
  selection.frames[selection.selected] = false;
  selection.frames[index] = true;
  selection.selected = index;
  if (selection != before) SelectionTouched();
}

void PaletteDocument::SetResultSettings(const ResultSettings& settings) {
  const bool transparentOk = settings.transparent == ResultSettings::kNoTransparentEntry ||
                             (settings.transparent >= 0 && settings.transparent < kPaletteSize);
  if (!IsRange(settings.range) || !transparentOk || state_.result == settings) return;
  state_.result = settings;
  ResultTouched();
}

void PaletteDocument::SetWorkingRange(EntryRange range) {
  ResultSettings settings = state_.result;
  settings.range = range;
  SetResultSettings(settings);
}

void PaletteDocument::SetTransparentEntry(int index) {
  ResultSettings settings = state_.result;
  settings.transparent = index;
  SetResultSettings(settings);
}

void PaletteDocument::MarkUnmodified() {
  unmodifiedColors_ = state_.colors;
  UpdateModified();
  if (depth_ == 0) Announce();
}

bool PaletteDocument::CanUndo() const {
  return depth_ == 0 && !undo_.empty();
}

bool PaletteDocument::CanRedo() const {
  return depth_ == 0 && !redo_.empty();
}

QString PaletteDocument::UndoName() const {
  return undo_.empty() ? QString() : undo_.back().name;
}

QString PaletteDocument::RedoName() const {
  return redo_.empty() ? QString() : redo_.back().name;
}

const PaletteState* PaletteDocument::StateBeforeLastStep() const {
  return undo_.empty() ? nullptr : &undo_.back().before;
}

bool PaletteDocument::Undo() {
  if (!CanUndo()) return false;
  Step step = std::move(undo_.back());
  undo_.pop_back();
  Restore(step.before);
  redo_.push_back(std::move(step));
  pendingHistory_ = true;
  Announce();
  return true;
}

bool PaletteDocument::Redo() {
  if (!CanRedo()) return false;
  Step step = std::move(redo_.back());
  redo_.pop_back();
  Restore(step.after);
  undo_.push_back(std::move(step));
  pendingHistory_ = true;
  Announce();
  return true;
}

void PaletteDocument::BeginStep(const QString& name) {
  if (depth_++ > 0) return;
  open_ = Step{name, state_, {}};
}

void PaletteDocument::EndStep() {
  if (--depth_ > 0) return;
  if (IsContentChange(open_.before, state_)) {
    open_.after = state_;
    undo_.push_back(std::move(open_));
    while (static_cast<int>(undo_.size()) > historyLimit_) undo_.pop_front();
    redo_.clear();
    pendingHistory_ = true;
  }
  open_ = Step{};
  Announce();
}

void PaletteDocument::ColorsTouched(int first, int last) {
  ++revision_;
  if (pendingEntries_)
    pendingEntries_ =
        EntryRange{std::min(first, pendingEntries_->first), std::max(last, pendingEntries_->last)};
  else
    pendingEntries_ = EntryRange{first, last};
}

void PaletteDocument::SelectionTouched() {
  pendingSelection_ = true;
  if (depth_ == 0) Announce();
}

void PaletteDocument::ResultTouched() {
  pendingResult_ = true;
  if (depth_ == 0) Announce();
}

void PaletteDocument::Restore(const PaletteState& state) {
  const std::optional<EntryRange> changed = Differences(state_.colors, state.colors);
  const bool selectionChanged = state_.selection != state.selection;
  const bool resultChanged = state_.result != state.result;
  state_ = state;
  if (changed) ColorsTouched(changed->first, changed->last);
  if (selectionChanged) pendingSelection_ = true;
  if (resultChanged) pendingResult_ = true;
}

void PaletteDocument::UpdateModified() {
  const bool modified = state_.colors != unmodifiedColors_;
  if (modified == modified_) return;
  modified_ = modified;
  pendingModified_ = true;
}

void PaletteDocument::Announce() {
  if (pendingEntries_) UpdateModified();
  // Taken before emitting: an observer may change the document again from its slot.
  const std::optional<EntryRange> entries = std::exchange(pendingEntries_, std::nullopt);
  const bool selection = std::exchange(pendingSelection_, false);
  const bool result = std::exchange(pendingResult_, false);
  const bool modified = std::exchange(pendingModified_, false);
  const bool history = std::exchange(pendingHistory_, false);
  if (entries) emit EntriesChanged(*entries);
  if (selection) emit SelectionChanged();
  if (result) emit ResultSettingsChanged();
  if (modified) emit ModifiedChanged(modified_);
  if (history) emit HistoryChanged();
}

PaletteStep::PaletteStep(PaletteDocument& document, const QString& name) : document_(document) {
  document_.BeginStep(name);
}

PaletteStep::~PaletteStep() {
  document_.EndStep();
}

}  // namespace tavlo
