// The applied-filters log: one line per operation that narrowed the combination list since it was
// made, shown under the list. Lines are only appended, cleared as a whole or removed from the end (undo).
#pragma once

#include <string>
#include <vector>

namespace quintar {

// The mark (icon) of a log line.
enum class TFilterMark { Keep, Delete, Undo };

struct TFilterLogLine {
  std::string Caption;  // what was applied: a statistic's name, a view's caption or a list operation
  std::string Values;   // the selected values joined with "; "
  int Count = 0;        // combinations left after the operation
  TFilterMark Mark = TFilterMark::Keep;
};

// Captions of list operations that write log lines.
inline constexpr const char* kLogLastDraws = "Последние тиражи";
inline constexpr const char* kLogSelectedCombs = "Выделенные комбинации";
inline constexpr const char* kLogUndo = "Отмена последней операции";

class TFilterLog {
 public:
  void Add(std::string caption, std::string values, int count, TFilterMark mark);
  void Clear() { lines_.clear(); }
  void RemoveLast() {
    if (!lines_.empty()) lines_.pop_back();
  }
  int Count() const { return static_cast<int>(lines_.size()); }
  bool Empty() const { return lines_.empty(); }
  const TFilterLogLine& operator[](int i) const { return lines_[static_cast<size_t>(i)]; }
  const std::vector<TFilterLogLine>& Lines() const { return lines_; }

  // Column headers and the cells of one line as the view shows them.
  static std::vector<std::string> Captions();
  std::vector<std::string> Cells(int row) const;

 private:
  std::vector<TFilterLogLine> lines_;
};

}  // namespace quintar
