// The values a statistic gives one combination or one draw, as text lines: one line per value in list
// order with the four 16-bit key parts, the value text and the count, tab-separated; for a graph
// statistic a last line "Число:" TAB its number.
#pragma once

#include <string>
#include <vector>

#include "stats/customstat.h"

namespace quintar {

// CombValues of the combination; the graph number is CombNumber with DrawIndex = LastIndex = lastIndex.
std::vector<std::string> CombValueLines(TCustomStat& stat, const TComb& comb, int lastIndex, bool sorted);
// DrawValues of draw drawIndex in a window ending at lastIndex; the graph number is DrawNumber.
std::vector<std::string> DrawValueLines(TCustomStat& stat, int drawIndex, int lastIndex, bool sorted);
// The same for a window that begins at firstIndex: a statistic whose values depend on the draws before
// them in a run (the series, the periods) first runs over the window's draws before drawIndex, so the
// lines are what the statistics table counts for that draw.
std::vector<std::string> DrawValueLines(TCustomStat& stat, int drawIndex, int lastIndex, bool sorted, int firstIndex);

}  // namespace quintar
