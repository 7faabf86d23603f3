#pragma once
// A range of palette entries by 0-based index, both ends included.
namespace tavlo {

struct EntryRange {
  int first = 0;  // 0-based index
  int last = 0;   // 0-based index, first <= last <= 255
  int Count() const { return last - first + 1; }
  bool Contains(int index) const { return index >= first && index <= last; }
  bool operator==(const EntryRange&) const = default;
};

}  // namespace tavlo
