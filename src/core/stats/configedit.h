// What the configuration dialog ("Параметры системы") does with its fields, without the widgets: the
// matrix size with the segment grid, the channel size, the stake price, the prize lines and the weight
// coefficients. The dialog shows and edits a TConfigData through this object and, on OK, hands Data() to
// Session::EditConfig.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "stats/statlist.h"

namespace quintar {

// Ranges the dialog's spin fields keep.
inline constexpr int kMinMatrixCols = 1, kMaxMatrixCols = MAX_NUMBER;
inline constexpr int kMinChannelSize = 2, kMaxChannelSize = MAX_NUMBER;
inline constexpr int kProfitLines = 8;  // prize lines for 0..7 matching numbers

// "" when the block can be stored, else the message that says what is wrong.
std::string ConfigDataError(const TConfigData& data);

class TConfigEditor {
 public:
  explicit TConfigEditor(const TConfigData& data) : data_(data) {}
  const TConfigData& Data() const { return data_; }
  TConfigData& Data() { return data_; }

  // Matrix size: the columns (edMatrixCol) and the rows they give (edMatrixRow). Changing the columns
  // lays the segment grid out anew; each number keeps its segment.
  int MatrixCols() const { return data_.MatrixCols; }
  int MatrixRows() const { return GroupCount(1, MAX_NUMBER, data_.MatrixCols); }
  void SetMatrixCols(int cols);  // kept within 1..35

  // Segment grid (sgSegments): numbers laid out row by row; cells past 35 hold no number and cannot be
  // selected. Only digits can be typed into a cell.
  int CellNumber(int row, int col) const;  // 0 for a cell without a number
  bool CanSelectCell(int row, int col) const { return CellNumber(row, col) != 0; }
  std::string CellText(int row, int col) const;
  static bool IsCellChar(char c) { return c >= '0' && c <= '9'; }
  // Stores a typed cell. An empty cell reads as 1; a value that is not a whole number 1..9 makes the cell
  // 1 and returns the message to show; "" when the value was taken.
  std::string SetCellText(int row, int col, std::string_view text);

  void SetChannelSize(int size);  // kept within 2..35

  // Stake price (edCost) in money units; 4 decimals are kept. SetCostText returns false for a text that
  // is not a number and leaves the price unchanged.
  std::string CostText() const;
  bool SetCostText(std::string_view text);

  // Prize lines (edProfits): "k=prize" for k = 0..7 with the prize for k matching numbers ("%d=%.2f"),
  // then a line for each stored prize of another match count, so that nothing stored is lost.
  std::vector<std::string> ProfitLines() const;
  // Every non-blank line k=v becomes an entry: k read as an integer (0 if not), v as money (0 if not).
  void SetProfitLines(const std::vector<std::string>& lines);
  // Keys the prize editor accepts besides control keys: digits and the decimal separator.
  static bool IsProfitChar(char c) { return (c >= '0' && c <= '9') || c == ',' || c == '.'; }

 private:
  TConfigData data_;
};

}  // namespace quintar
