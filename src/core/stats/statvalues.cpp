#include "stats/statvalues.h"

#include <algorithm>

namespace quintar {

namespace {

void AddValueLines(const TCustomStat& stat, const TStatDrawArray& list, std::vector<std::string>& lines) {
  for (const auto& v : list) {
    std::string line;
    for (int p = 1; p <= 4; ++p) line += std::to_string(v.Key.Part(p)) + "\t";
    line += stat.ValueToText(v) + "\t" + std::to_string(v.Count);
    lines.push_back(std::move(line));
  }
}

}  // namespace

std::vector<std::string> CombValueLines(TCustomStat& stat, const TComb& comb, int lastIndex, bool sorted) {
  TStatDrawArray list;
  stat.CombValues(comb, list);
  std::vector<std::string> lines;
  AddValueLines(stat, list, lines);
  if (auto* graph = AsGraphStat(&stat))
    lines.push_back("Число:\t" + std::to_string(graph->CombNumber(comb, lastIndex, lastIndex, sorted)));
  return lines;
}

std::vector<std::string> DrawValueLines(TCustomStat& stat, int drawIndex, int lastIndex, bool sorted) {
  return DrawValueLines(stat, drawIndex, lastIndex, sorted, drawIndex);
}

std::vector<std::string> DrawValueLines(TCustomStat& stat, int drawIndex, int lastIndex, bool sorted, int firstIndex) {
  TStatDrawArray list;
  TStatContext context;
  TLastValueArray lastValues;
  if (stat.StatClass().CarriesContext || (stat.GetKinds() & KIND_P)) {
    TStatDrawArray before;
    for (int i = std::max(firstIndex, 0); i < drawIndex; ++i) stat.DrawValues(i, lastIndex, sorted, before, context, lastValues);
  }
  stat.DrawValues(drawIndex, lastIndex, sorted, list, context, lastValues);
  std::vector<std::string> lines;
  AddValueLines(stat, list, lines);
  if (auto* graph = AsGraphStat(&stat))
    lines.push_back("Число:\t" + std::to_string(graph->DrawNumber(drawIndex, lastIndex, sorted)));
  return lines;
}

}  // namespace quintar
