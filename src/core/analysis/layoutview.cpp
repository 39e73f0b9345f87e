#include "analysis/layoutview.h"

#include <algorithm>
#include <cmath>

#include "analysis/cardview.h"
#include "util/format.h"
#include "util/strutil.h"

namespace quintar {

TShemaArray ShemaRecords(const TDrawsArray& draws, TDrawsStatWindow w) {
  TShemaArray records;
  records.reserve(MAX_NUMBER);
  int where[MAX_NUMBER + 1];
  std::fill(std::begin(where), std::end(where), -1);
  const int last = std::min(w.Last, static_cast<int>(draws.size()) - 1);
  for (int i = last; i >= w.First && i >= 0; --i) {
    const TDraw& d = draws[static_cast<size_t>(i)];
    for (int k = 0; k < NUMS_IN_DRAW; ++k) {
      const int n = d.Nums[k];
      if (n < 1 || n > MAX_NUMBER) continue;
      if (where[n] >= 0) {
        ++records[static_cast<size_t>(where[n])].Count;
      } else {
        where[n] = static_cast<int>(records.size());
        records.push_back({n, 1, d.Number});
      }
    }
  }
  return records;
}

void TLayoutScheme::Build(const TShemaArray& records, const std::bitset<MAX_NUMBER + 1>& nextDraw) {
  counts_.clear();
  draws_.clear();
  for (const TShemaRec& r : records) {
    if (std::find(counts_.begin(), counts_.end(), r.Count) == counts_.end()) counts_.push_back(r.Count);
    if (std::find(draws_.begin(), draws_.end(), r.LastDraw) == draws_.end()) draws_.push_back(r.LastDraw);
  }
  std::sort(counts_.begin(), counts_.end(), std::greater<>());
  std::sort(draws_.begin(), draws_.end(), std::greater<>());
  const size_t cols = static_cast<size_t>(ColCount());
  cells_.assign(static_cast<size_t>(RowCount()) * cols, std::string());
  for (size_t c = 1; c < cols; ++c) cells_[c] = std::to_string(draws_[c - 1]);
  for (size_t r = 1; r < static_cast<size_t>(RowCount()); ++r) cells_[r * cols] = std::to_string(counts_[r - 1]);
  for (const TShemaRec& rec : records) {
    const size_t r = 1 + static_cast<size_t>(std::find(counts_.begin(), counts_.end(), rec.Count) - counts_.begin());
    const size_t c = 1 + static_cast<size_t>(std::find(draws_.begin(), draws_.end(), rec.LastDraw) - draws_.begin());
    std::string& cell = cells_[r * cols + c];
    if (!cell.empty()) cell += ", ";
    const bool marked = rec.Number >= 1 && rec.Number <= MAX_NUMBER && nextDraw.test(static_cast<size_t>(rec.Number));
    cell += marked ? "[" + std::to_string(rec.Number) + "]" : std::to_string(rec.Number);
  }
}

const std::string& TLayoutScheme::Cell(int row, int col) const {
  static const std::string kNone;
  if (row < 0 || row >= RowCount() || col < 0 || col >= ColCount() || cells_.empty()) return kNone;
  return cells_[static_cast<size_t>(row) * static_cast<size_t>(ColCount()) + static_cast<size_t>(col)];
}

namespace {

bool InBand(int i) { return i >= 1 && i <= 95 && ((i - 1) / 5) % 2 == 0; }

// The nearest integer, halves to the even neighbour (the rounding of the colour components).
int RoundComponent(double v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

std::optional<uint32_t> TLayoutScheme::CellColor(int row, int col, bool gradient) const {
  if (row < 1 || row >= RowCount() || col < 1 || col >= ColCount()) return std::nullopt;
  if (Cell(row, col).find('[') != std::string::npos) return kLayoutNextDrawColor;
  if (gradient) {
    const double R = RowCount(), K = ColCount();
    const int red = RoundComponent(255.0 - 155.0 * row / R);
    const int green = RoundComponent(255.0 - 155.0 * col / K);
    const int blue = RoundComponent(100.0 + 155.0 * row / R);
    return static_cast<uint32_t>(red << 16 | green << 8 | blue);
  }
  return InBand(row) != InBand(col) ? kLayoutBandColor : kLayoutPlainColor;
}

int TLayoutScheme::ColumnWidth(int col, const std::function<int(const std::string&)>& textWidth) const {
  int width = col == 0 ? kLayoutFirstColumnWidth : kLayoutColumnWidth;
  for (int r = 0; r < RowCount(); ++r) width = std::max(width, textWidth(Cell(r, col)) + kLayoutTextRoom);
  return width;
}

bool TLayoutScheme::FilterSelectionAllowed(const TGridRect& r) const {
  return !r.Empty() && r.Left >= 1 && r.Top >= 1 && r.Right < ColCount() && r.Bottom < RowCount();
}

TNumberPick TLayoutScheme::SelectionNumbers(const TGridRect& r) const {
  TNumberPick pick;
  for (int c = r.Left; c <= r.Right; ++c)
    for (int row = r.Top; row <= r.Bottom; ++row) {
      const std::string& text = Cell(row, c);
      if (text.empty()) continue;
      for (std::string word : SplitAny(text, ",", false)) {
        word.erase(std::remove_if(word.begin(), word.end(), [](char ch) { return ch == '[' || ch == ']'; }), word.end());
        pick.Add(Trim(word));
      }
    }
  return pick;
}

TLayoutCompareList LayoutCompareList(const TDrawsArray& draws, TDrawsStatWindow w) {
  TLayoutCompareList list;
  const int last = std::min(w.Last, static_cast<int>(draws.size()) - 1);
  if (last < 0 || w.First > last) return list;
  list.Caption = Format("%d - %d", {draws[static_cast<size_t>(w.First)].Number, draws[static_cast<size_t>(last)].Number});
  for (const TShemaRec& rec : ShemaRecords(draws, w)) {
    auto it = std::find_if(list.Rows.begin(), list.Rows.end(), [&](const auto& row) { return row.first == rec.Count; });
    if (it == list.Rows.end()) {
      list.Rows.push_back({rec.Count, std::to_string(rec.Number)});
    } else {
      it->second += ", " + std::to_string(rec.Number);
    }
  }
  return list;
}

std::vector<std::string> LayoutLines(const TLayoutScheme& scheme, const bool* gradient) {
  std::vector<std::string> lines;
  for (int row = 0; row < scheme.RowCount(); ++row) {
    std::string line;
    for (int col = 0; col < scheme.ColCount(); ++col) {
      if (col) line += '\t';
      line += gradient && row >= 1 && col >= 1 ? ColorText(scheme.CellColor(row, col, *gradient)) : scheme.Cell(row, col);
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<std::string> LayoutCompareLines(const std::array<TLayoutCompareList, kLayoutCompareLists>& lists) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < lists.size(); ++i) {
    if (i) lines.push_back("");
    lines.push_back(lists[i].Caption.empty() ? "Кол-во" : "Кол-во\t" + lists[i].Caption);
    for (const auto& [count, numbers] : lists[i].Rows) lines.push_back(std::to_string(count) + "\t" + numbers);
  }
  return lines;
}

}  // namespace quintar
