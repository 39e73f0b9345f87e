// The card view ("Карта"): the whole archive as a grid of 37 columns, one row per draw, newest first;
// column n (1..35) holds n when the draw has that number, column 0 the draw number and column 36 the
// bonus. Colours mark numbers that repeat from the neighbouring draw and numbers drawn side by side.
#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/gridpick.h"
#include "game/game.h"

namespace quintar {

inline constexpr const char* kCardStatus = "Обновление карты тиражей...";
inline constexpr int kCardColumns = 37;
inline constexpr int kCardBonusColumn = 36;
inline constexpr uint32_t kCardRepeatNeighbourColor = 0xFFFF00;
inline constexpr uint32_t kCardRepeatColor = 0x00FF00;
inline constexpr uint32_t kCardNeighbourColor = 0x00FFFF;

// How the card paints: the two switches and the channel size of the channel colours.
struct TCardColors {
  bool ColorCard = true;           // channel colours
  bool ColorCardSequences = true;  // repeats and neighbours
  int ChannelSize = 5;
};

class TCardView {
 public:
  // Takes the archive's draws (the card shows them as they were at this moment).
  void Build(const TDrawsArray& draws);
  void Clear() { rows_.clear(); built_ = false; }
  bool Built() const { return built_; }

  // Rows of the grid with the caption row: draws + 1, or 2 with an empty archive (one empty data row).
  int RowCount() const { return 1 + std::max<int>(1, static_cast<int>(rows_.size())); }
  int DrawRows() const { return static_cast<int>(rows_.size()); }
  // The caption row: "", "1".."35", "E"; data rows: the draw number, the drawn numbers, the bonus.
  std::string Cell(int row, int col) const;
  // Whether data cell (row, n), n in 1..35, holds its number.
  bool Has(int row, int n) const;
  // The background of a data cell as 0xRRGGBB; nothing for the grid's own background.
  std::optional<uint32_t> CellColor(int row, int col, const TCardColors& colors) const;

  // Whether the card filters take this selection: data rows only, columns 1..35.
  bool FilterSelectionAllowed(const TGridRect& r) const;
  // The numbers of the selected cells: columns left to right, in a column rows top to bottom.
  TNumberPick SelectionNumbers(const TGridRect& r) const;

 private:
  struct TRow {
    int32_t Number = 0;
    int Bonus = 0;
    std::bitset<MAX_NUMBER + 2> Nums;  // bit n: number n drawn (1..35)
  };
  const TRow* RowAt(int row) const {
    return row >= 1 && row <= static_cast<int>(rows_.size()) ? &rows_[static_cast<size_t>(row - 1)] : nullptr;
  }
  std::vector<TRow> rows_;  // newest first
  bool built_ = false;
};

// The grid as text lines, cells tab-separated: with colours the cells 1..36 of the data rows give their
// background ("#RRGGBB", empty for the grid's own).
std::vector<std::string> CardLines(const TCardView& card, const TCardColors* colors);

// "#RRGGBB" of a colour, "" for none.
std::string ColorText(std::optional<uint32_t> rgb);

}  // namespace quintar
