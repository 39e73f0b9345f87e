// The layout view ("Схема"): the numbers drawn in a window of draws sorted by how often they came out
// (rows) and by the draw they came out in last (columns), the numbers of the draw after the reference
// draw marked; and five comparison lists of the counts over other window lengths.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/gridpick.h"
#include "game/game.h"
#include "stats/drawsstat.h"

namespace quintar {

inline constexpr const char* kLayoutStatus = "Построение схемы выпадения номеров...";
inline constexpr const char* kLayoutLenHint = "Количество тиражей, использующихся для расчета статистики";
inline constexpr const char* kLayoutCalcHint = "Пересчитать схему";
inline constexpr const char* kLayoutCmpCalcHint = "Пересчитать таблицы сравнения";
inline constexpr int kLayoutLenDefault = 100;
inline constexpr int kLayoutCompareLists = 5;
inline constexpr int kLayoutCompareLenDefaults[kLayoutCompareLists] = {50, 100, 200, 300, 400};
inline constexpr uint32_t kLayoutNextDrawColor = 0x00FF00;
inline constexpr uint32_t kLayoutBandColor = 0xFFEAEA;
inline constexpr uint32_t kLayoutPlainColor = 0xEAFFEA;
// Column widths of the scheme: the counts column, the others, and the room added to a longer text.
inline constexpr int kLayoutFirstColumnWidth = 50;
inline constexpr int kLayoutColumnWidth = 40;
inline constexpr int kLayoutTextRoom = 10;

// One number that came out in the window: how often, and the number of the newest draw that has it.
struct TShemaRec {
  int Number = 0;
  int Count = 0;
  int32_t LastDraw = 0;
};
using TShemaArray = std::vector<TShemaRec>;

// Walks the window from its newest draw back to its oldest, each draw's numbers in drawn order.
TShemaArray ShemaRecords(const TDrawsArray& draws, TDrawsStatWindow w);

// The scheme grid sgLayout: row 0 the last draws (descending), column 0 the counts (descending).
class TLayoutScheme {
 public:
  // nextDraw: the numbers to bracket (those of the draw after the reference draw, or none).
  void Build(const TShemaArray& records, const std::bitset<MAX_NUMBER + 1>& nextDraw);
  void Clear() { *this = TLayoutScheme{}; }

  int RowCount() const { return static_cast<int>(counts_.size()) + 1; }
  int ColCount() const { return static_cast<int>(draws_.size()) + 1; }
  const std::string& Cell(int row, int col) const;
  // The background of a data cell (row >= 1, col >= 1); nothing elsewhere.
  std::optional<uint32_t> CellColor(int row, int col, bool gradient) const;
  // The width of a column: 50 or 40 pixels, widened to the longest text's width plus 10.
  int ColumnWidth(int col, const std::function<int(const std::string&)>& textWidth) const;

  // Whether the layout filters take this selection: data cells only.
  bool FilterSelectionAllowed(const TGridRect& r) const;
  // The numbers of the selected cells: columns left to right, in a column rows top to bottom, each cell
  // split at "," with the brackets removed.
  TNumberPick SelectionNumbers(const TGridRect& r) const;

 private:
  std::vector<int> counts_;     // row r >= 1: counts_[r - 1]
  std::vector<int32_t> draws_;  // column c >= 1: draws_[c - 1]
  std::vector<std::string> cells_;  // RowCount() x ColCount(), row by row
};

// One comparison list: its window caption "%d - %d" (oldest and reference draw numbers) and one row per
// distinct count in the order first met, with the numbers of that count joined with ", ".
struct TLayoutCompareList {
  std::string Caption;
  std::vector<std::pair<int, std::string>> Rows;
};
TLayoutCompareList LayoutCompareList(const TDrawsArray& draws, TDrawsStatWindow w);

// Text lines: the scheme (with colours, the data cells give their background), the comparison lists.
std::vector<std::string> LayoutLines(const TLayoutScheme& scheme, const bool* gradient);
std::vector<std::string> LayoutCompareLines(const std::array<TLayoutCompareList, kLayoutCompareLists>& lists);

}  // namespace quintar
