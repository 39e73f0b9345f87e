// How the stakes grid shows a record, shared by the desktop grid and "quintar-cli stakes list": the nine
// columns, cell texts, alignment, the kind colours, the matched numbers drawn bold and blue, the profit
// colours; and the profit-by-draw chart.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "combs/graphdata.h"
#include "combs/stakesfile.h"

namespace quintar {

constexpr int kStakeGridCols = 9;
std::vector<std::string> StakeGridCaptions();

enum class TCellAlign { Left, Center, Right };
TCellAlign StakeGridAlign(int col);

// A separator and any record for a draw <= 0 show as an empty row.
bool StakeRowEmpty(const TStakeRec& rec);
std::string StakeGridCell(const TStakeRec& rec, int col);
std::vector<std::string> StakeGridCells(const TStakeRec& rec);

// Background of a row that is not selected: the kind's colour (0xRRGGBB), or none for the window colour.
std::optional<uint32_t> StakeKindColor(int kind);

// How a piece of cell text is drawn.
enum class TStakeInk {
  Normal,   // window text colour
  Matched,  // a matched number: bold and blue
  Gain,     // columns 5..7 of a checked stake with profit above zero: green
  Loss,     // the same with profit zero or below: red
};
inline constexpr uint32_t kStakeMatchedColor = 0x0000FF;
inline constexpr uint32_t kStakeGainColor = 0x008000;
inline constexpr uint32_t kStakeLossColor = 0xFF0000;

struct TStakeCellPart {
  std::string Text;
  TStakeInk Ink;
};
// The cell text in the pieces it is drawn in: columns 2 and 4 number by number with the separators
// between them; other columns as one piece.
std::vector<TStakeCellPart> StakeGridCellParts(const TStakeRec& rec, int col);
bool StakeNumberMatched(const TStakeRec& rec, int number);

// "Ставок: %d", the status bar text with the record count.
std::string StakesCountText(int count);

// The chart of summed profit per draw (every record with a draw >= 0, checked or not), in order of first
// appearance. Raises EQuintar when the file holds no such record.
inline constexpr const char* kStakesGraphDrawsHint = "График суммарного профита ставок по тиражам";
inline constexpr const char* kGraphStatus = "Создание графиков...";
inline constexpr const char* kGraphNoDraws =
    "Для построения графиков необходимо, чтобы в выделенном диапазоне данных было более одного тиража!";
TGraphData StakesGraphDraws(TStakesFile& file);

}  // namespace quintar
