// The details window ("Подробная информация") for one draw or combination: the number every graph
// statistic of the catalogue gives the row, and the 35 numbers as a card of a chosen number of columns.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/game.h"

namespace quintar {

class TStatList;

inline constexpr const char* kDetailsCaption = "Подробная информация";
inline constexpr const char* kDetailsColsLabel = "Количество столбцов:";
inline constexpr int kDetailsColsMin = 1;
inline constexpr int kDetailsColsMax = MAX_NUMBER;

struct TDetailsProp {
  std::string Caption;  // "Свойство"
  std::string Value;    // "Значение"
};

// What ShowDetails is given.
struct TDetailsInput {
  int32_t Number = -1;  // draw number, -1 for none
  std::string Date;     // draw date, "" for none
  TComb Comb{};
  bool Sorted = false;
  int DrawIndex = 0, LastIndex = 0;
};

struct TDetails {
  TComb Comb{};
  std::vector<TDetailsProp> Props;
};

// The property list: the draw's number and date when given, then one row per method of the catalogue
// (in catalogue order) whose class is a graph statistic shown in the statistics table, captioned with
// the statistic's name (a shredding method with its formula) and valued with CombNumber.
TDetails ComputeDetails(const TStatList& stats, const TDetailsInput& in);

// The card: cols cells per row and GroupCount(1, 35, cols) rows; number n stands in column
// (n - 1) mod cols of row (n - 1) div cols.
struct TDetailsCard {
  int Cols = 5;
  TComb Comb{};
  int RowCount() const { return GroupCount(1, MAX_NUMBER, Cols); }
  // The number written in a cell: the row's number of that cell, else "".
  std::string Cell(int row, int col) const;
  // Channel colour of the cell's number when it lies in 1..35, else nothing (the grid's background).
  std::optional<uint32_t> CellColor(int row, int col, int channelSize) const;
};

// The window's text: the property list, an empty line, the column count and the card (cells or, with
// colours, their fill).
std::vector<std::string> DetailsLines(const TDetails& details, const TDetailsCard& card, const int* channelSize);

}  // namespace quintar
