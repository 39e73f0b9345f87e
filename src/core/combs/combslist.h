// Combination lists: the current list, its one-level undo copy and the script runner's keyed buffer are
// each a block of 7-byte records with a count. The capacity only grows; emptying a list keeps it, so a
// list reserved once for every possible combination never reallocates afterwards.
// Also here: the list file (".lcv") and the clipboard text form.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "game/game.h"

namespace quintar {

class TCombsList {
 public:
  TCombsList() = default;
  TCombsList(const TCombsList&) = delete;
  TCombsList& operator=(const TCombsList&) = delete;

  int Count() const { return count_; }
  bool Empty() const { return count_ == 0; }
  size_t Capacity() const { return capacity_; }
  // Makes room for at least n entries; the valid entries are kept. Never shrinks.
  void Reserve(size_t n);
  // Count := 0, the capacity stays.
  void Clear() { count_ = 0; }
  // Sets the count, growing the capacity when needed; new entries hold whatever the storage held.
  void SetCount(int n);

  void Append(const TComb& c) {
    if (static_cast<size_t>(count_) == capacity_) Grow(static_cast<size_t>(count_) + 1);
    data_[static_cast<size_t>(count_++)] = c;
  }
  // Replaces the entries by those of other. The storage grows first, so on failure (no memory) this
  // list is left as it was.
  void CopyFrom(const TCombsList& other);
  // Exchanges the entries, counts and storage of two lists (no copying).
  void Swap(TCombsList& other) noexcept {
    data_.swap(other.data_);
    std::swap(capacity_, other.capacity_);
    std::swap(count_, other.count_);
  }

  TComb& operator[](int i) { return data_[static_cast<size_t>(i)]; }
  const TComb& operator[](int i) const { return data_[static_cast<size_t>(i)]; }
  TComb* Data() { return data_.get(); }
  const TComb* Data() const { return data_.get(); }
  const TComb* begin() const { return data_.get(); }
  const TComb* end() const { return data_.get() + count_; }
  // The storage of the entries from count on, after making room for n more: bulk writers fill it and
  // then call Commit with how many entries they wrote.
  TComb* Tail(size_t n);
  void Commit(size_t added) { count_ += static_cast<int>(added); }

 private:
  void Grow(size_t needed);
  std::unique_ptr<TComb[]> data_;
  size_t capacity_ = 0;
  int count_ = 0;
};

// The buffer the script runner reuses: a list copy made for one (draws offset, excluded draws) pair.
struct TCombsBufferKey {
  int DrawsOffset = -1;
  int Excluded = -1;
  bool operator==(const TCombsBufferKey&) const = default;
};

class TCombsBuffer : public TCombsList {
 public:
  TCombsBufferKey Key;
  void Reset() {
    Key = TCombsBufferKey{};
    Clear();
  }
};

// Selected rows of the combination list view: ranges of 0-based rows, both ends included.
struct TRowRange {
  int First = 0;
  int Last = -1;
};
using TRowSelection = std::vector<TRowRange>;

// Sorted, merged ranges cut to the rows 0..count-1.
TRowSelection NormalizeSelection(const TRowSelection& sel, int count);
// Number of distinct rows of the selection within 0..count-1.
int SelectedRowCount(const TRowSelection& sel, int count);

// List files (".lcv"): one combination per line, the seven numbers in decimal joined with ";", CR LF.
inline constexpr const char* kCombsFileFilter = "Файлы комбинаций (*.lcv)|*.lcv";
inline constexpr const char* kCombsFileExt = "lcv";

// One line of a list file: it counts only when it splits into exactly seven words at "," and ";" and the
// words, trimmed and read as decimal integers, are seven different numbers 1..35.
bool ParseCombsFileLine(std::string_view line, TComb& out);
// Appends the combinations of list file text (lines end with CR LF, LF or CR); returns how many.
int AppendCombsText(std::string_view text, TCombsList& list);
// Appends the combinations of a list file as it reads it; a read error raises FileError and leaves what
// was appended before it.
void AppendCombsFile(const std::string& path, TCombsList& list);
// The list in the list file form.
std::string CombsFileText(const TCombsList& list);
// Writes the list file through a temporary file; raises FileError.
void SaveCombsFile(const std::string& path, const TCombsList& list);

// Clipboard form: one combination per line, the numbers with two digits joined with single blanks
// ("03 11 17 20 28 31 35"); the rows of the selection in list order.
std::string CombsClipboardText(const TCombsList& list, const TRowSelection& sel);
// The lines of clipboard text (CR LF, LF or CR; a final line break ends the last line).
std::vector<std::string> SplitTextLines(std::string_view text);

}  // namespace quintar
