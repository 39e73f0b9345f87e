// The statistics table (page "Статистика"): for one statistic method, every value it produced over a
// window of past draws with its count and the derived columns (share, norm from the full set of
// combinations, deviation, depth, weight, periods, three forecasts of the next occurrence checked
// against the draws after the window), the chart under it, the table's sort order and its row
// selection, which the statistic filters and the script runner read. No widgets: the desktop page,
// the command-line program and the script runner all show and drive this model.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/drawarchive.h"
#include "stats/customstat.h"
#include "stats/prefetch.h"
#include "stats/statdraw.h"
#include "stats/weightcoefs.h"

namespace quintar {

// Columns of lvDrawsStat, 0-based.
enum TDrawsStatColumn : int {
  dscValue = 0,      // "Значение"
  dscCount,          // "Количество"
  dscCountPct,       // "Кол-во в %"
  dscNorm,           // "Норма"
  dscDeviation,      // "Отклонение"
  dscDeviationPct,   // "Откл-ие в %"
  dscDepth,          // "Глубина"
  dscDepthPct,       // "Глубина в %"
  dscWeight,         // "Вес"
  dscLastDraw,       // "Посл. тираж"
  dscPeriodMin,      // "Период min"
  dscPeriod,         // "Период"
  dscPeriodMax,      // "Период max"
  dscExpectedPrd,    // "Ожд. ПРД"
  dscExpectedStf,    // "Ожд. СТФ"
  dscExpectedKrn,    // "Ожд. КРН"
  dscFact,           // "Факт"
  dscDiffPrd,        // "+/- ПРД"
  dscDiffStf,        // "+/- СТФ"
  dscDiffKrn,        // "+/- КРН"
};
inline constexpr int kDrawsStatColumns = 20;
// The column captions in column order.
const std::array<std::string, kDrawsStatColumns>& DrawsStatCaptions();
// Column index of a caption (exact text), -1 when none has it.
int DrawsStatColumnOf(std::string_view caption);
// The three norm columns, shown only with prefetch files; their width when shown.
inline constexpr int kNormColumnFirst = dscNorm, kNormColumnLast = dscDeviationPct;
inline constexpr int kNormColumnWidth = 80;

// The draws count field edDrawsStatLen.
inline constexpr int kDrawsStatLenMin = 1;
inline constexpr int kDrawsStatLenMax = std::numeric_limits<int32_t>::max();
inline constexpr int kDrawsStatLenDefault = 1000;
inline constexpr const char* kDrawsStatLenHint = "Количество тиражей, использующихся для расчета статистики";
inline constexpr const char* kDrawsStatTypeHint = "Вид расчета статистики";
inline constexpr const char* kDrawsStatStatus = "Анализ тиражей и расчет статистики...";

// The window of the table: the last index L (newest draw minus the draws offset), the first index
// F = max(0, L - len + 1) and its length N = L - F + 1 (0 when L < F).
struct TDrawsStatWindow {
  int First = 0;
  int Last = -1;
  int Length() const { return Last >= First ? Last - First + 1 : 0; }
};
TDrawsStatWindow DrawsStatWindow(int archiveCount, int drawsOffset, int len);

// Sum of counts, the smallest and the largest count, the largest positive depth of a value list.
struct TStatTotals {
  int64_t SumCount = 0;
  int32_t MinCount = std::numeric_limits<int32_t>::max();
  int32_t MaxCount = 0;
  int32_t MaxDepth = 0;
};
TStatTotals StatTotals(const TStatDrawArray& list);

// Stable insertion order by key part 1, then 2, 3, 4 (signed 16-bit).
void SortStatValues(TStatDrawArray& list);
// Signed comparison of two keys part by part: < 0, 0, > 0.
int CompareStatKeys(const TStatKey& a, const TStatKey& b);

// The norm scale: (smallest + largest window count) / 2 / T1 when the trailer's smallest and largest
// counts T0 and T1 are equal, else largest window count / T1. 0 when T1 <= 0.
double NormScale(int32_t t0, int32_t t1, const TStatTotals& window);
// round(file count x scale).
int32_t NormOf(int32_t fileCount, double scale);

// "+/- ..." cells: "-" when the expected text is not a non-negative integer (or the fact is no integer);
// otherwise d = expected - fact written "+d" when d > 0, else as a plain integer.
std::string ExpectedDiffText(std::string_view expected, std::string_view fact);

// The weight column; dev = Count - Norm when norms are available, else 0.
double WeightOf(const TStatDraw& v, const TWeightCoefs& w, const TStatTotals& totals, bool normsAvailable);

// Rounding of the forecast columns and the norms: the nearest integer, halves away from zero.
int64_t RoundNearest(double v);

// The 20 cell texts of a value record (columns in order), with the dash rules: Depth 0 shows "-" in
// columns 7..20 ("Глубина" on), Count < 2 in columns 11..14, Count 0 in column 15, no next draw in columns
// 17..20, no norms in columns 4..6. fact is the number FindNextDraw gave, -1 for none; valueText is ValueToText.
std::array<std::string, kDrawsStatColumns> DrawsStatCells(const TStatDraw& v, const std::string& valueText,
                                                          int windowLength, const TStatTotals& totals,
                                                          bool normsAvailable, const TWeightCoefs& weights,
                                                          int32_t fact);

// Table cell order: both cells read as numbers (after "," -> ".") compare as numbers, otherwise as text
// without regard to case. < 0, 0, > 0.
int CompareDrawsStatCells(std::string_view a, std::string_view b);

// One point of the chart under the table.
struct TDrawsStatPoint {
  double X = 0;
  double Y = 0;
  std::string Label;
};

// The chart crtDrawsStat: the actual counts and, with norms and ShowTotalLine, the ideal distribution.
struct TDrawsStatChart {
  static constexpr const char* kActualTitle = "Фактические данные";
  static constexpr const char* kIdealTitle = "Все возможные комбинации";
  static constexpr uint32_t kActualColor = 0x008000;        // line, width 2
  static constexpr uint32_t kActualMarkerColor = 0xFF00FF;  // point markers, size 2
  static constexpr uint32_t kIdealColor = 0xFF0000;         // line, no markers
  static constexpr int kActualLineWidth = 2;
  static constexpr int kActualMarkerSize = 2;
  bool Shown = false;      // the list had more than one entry
  bool HasIdeal = false;   // the ideal series exists
  std::vector<TDrawsStatPoint> Actual;
  std::vector<TDrawsStatPoint> Ideal;
  void Clear() { *this = TDrawsStatChart{}; }
};

// A table row: a private copy of its value record and its cells. The cells are kept as one text (a table
// may have tens of thousands of rows); the views of a row's cells live as long as the row.
struct TDrawsStatRow {
  TStatDraw Rec{};
  bool Selected = false;
  std::string_view Cell(int column) const {
    const size_t from = column > 0 ? ends_[column - 1] : 0;
    return std::string_view(text_).substr(from, ends_[column] - from);
  }
  std::string_view ValueText() const { return Cell(dscValue); }
  std::array<std::string, kDrawsStatColumns> Cells() const;
  void SetCells(const std::array<std::string, kDrawsStatColumns>& cells);
  // Appends the next cell (columns in order).
  void AddCell(std::string_view text);
  // All the cells at once: their texts one after another, ends[i] the end of cell i in text.
  void SetText(std::string_view text, const uint32_t (&ends)[kDrawsStatColumns]);

 private:
  // Room for a row of twenty cells in one allocation (most rows need 60 to 110 characters).
  static constexpr size_t kRowTextReserve = 120;
  std::string text_;
  uint32_t ends_[kDrawsStatColumns] = {};
  int cells_ = 0;
};

// What one computation takes.
struct TDrawsStatInput {
  TCustomStat* Stat = nullptr;           // the chosen method's object
  const TDrawArchive* Archive = nullptr;  // finds the draw of a value's last occurrence
  TDrawsStatWindow Window;
  bool Sorted = false;                    // the sorted-view switch
  const TPrefetchData* Prefetch = nullptr;  // the method's prefetch file, when open
  TWeightCoefs Weights;
  bool ShowTotalLine = true;
};

// Inputs of the last computation: an unforced request with all four unchanged does nothing.
struct TDrawsStatMemory {
  int ArchiveCount = -1;
  int DrawsOffset = -1;
  int DrawsStatLen = -1;
  int ChooserIndex = -1;
  bool operator==(const TDrawsStatMemory&) const = default;
};

class TDrawsStat {
 public:
  // Draws count (edDrawsStatLen), kept within kDrawsStatLenMin..kDrawsStatLenMax.
  int DrawsStatLen = kDrawsStatLenDefault;
  // Reads the field's text: true and the new count when it is an integer within the limits.
  static std::optional<int> ParseDrawsStatLen(std::string_view text);

  // Recalculation memory. Remember stores the inputs and answers whether they differed from the last.
  TDrawsStatMemory Memory;
  bool Remember(const TDrawsStatMemory& now);
  void ForgetMemory() { Memory = TDrawsStatMemory{}; }

  // Empties the rows, the chart and the totals (the sort state stays).
  void Clear();
  // Computes the table: pre-listed values, DrawValues over the window, totals, norms from the prefetch
  // data, rows with "Факт" looked up through FindNextDraw, the chart; then sorts by the current sort
  // column. The rows' selection is emptied.
  void Compute(const TDrawsStatInput& in);

  // Results of the last computation.
  int RowCount() const { return static_cast<int>(rows_.size()); }
  bool Empty() const { return rows_.empty(); }
  const TDrawsStatRow& Row(int r) const { return rows_[order_[static_cast<size_t>(r)]]; }
  std::string Cell(int r, int column) const { return std::string(Row(r).Cell(column)); }
  // The value list in the order the statistic produced it (with norms filled in when available).
  const TStatDrawArray& Values() const { return values_; }
  const TStatTotals& Totals() const { return totals_; }
  bool NormsAvailable() const { return normsAvailable_; }
  TDrawsStatWindow Window() const { return window_; }
  const TDrawsStatChart& Chart() const { return chart_; }
  int MethodComputed() const { return method_; }  // catalogue index of the shown method, -1 none
  void SetMethodComputed(int m) { method_ = m; }

  // The 12 texts filters and scripts read: [0] value, [1] "", [2] count, [3] count %, [4] deviation,
  // [5] deviation %, [6] depth, [7] depth %, [8] weight, [9] period min, [10] period, [11] period max;
  // all empty for a row outside the table.
  std::array<std::string, 12> RowColumnsText(int r) const;

  // Sort state: column and direction; the table starts sorted by "Количество" ascending.
  int SortColumn() const { return sortColumn_; }
  bool SortDescending() const { return sortDescending_; }
  // A header click: the sorted column again flips the direction, another column sorts ascending.
  void SortBy(int column);
  // Sets column and direction (the script runner: its column, descending) and sorts.
  void SetSort(int column, bool descending);
  // Sorts the rows by the current state; equal cells are ordered by the value text. Stable.
  void Sort();

  // Row selection (rows in table order). Sorting keeps each row's flag.
  bool IsSelected(int r) const { return r >= 0 && r < RowCount() && Row(r).Selected; }
  void SetSelected(int r, bool on);
  void SelectOnly(int r);
  void SelectAll();
  void ClearSelection();
  int SelectedCount() const;
  std::vector<int> SelectedRows() const;
  // Selects exactly the rows whose key is in keys; returns how many.
  int SelectKeys(const TStatDrawArray& keys);
  // Copies of the selected rows' records in row order, and their value texts joined with "; ".
  TStatDrawArray SelectedValues() const;
  std::string SelectedValuesText() const;

 private:
  // The rows in the order they were made (the value list's); order_ gives them in table order, so that
  // sorting tables of tens of thousands of rows moves no row.
  std::vector<TDrawsStatRow> rows_;
  std::vector<uint32_t> order_;
  TStatDrawArray values_;
  TStatTotals totals_;
  bool normsAvailable_ = false;
  TDrawsStatWindow window_;
  TDrawsStatChart chart_;
  int method_ = -1;
  int sortColumn_ = dscCount;
  bool sortDescending_ = false;
};

}  // namespace quintar
