#include "analysis/details.h"

#include "analysis/cardview.h"
#include "stats/statlist.h"
#include "util/format.h"

namespace quintar {

TDetails ComputeDetails(const TStatList& stats, const TDetailsInput& in) {
  TDetails d;
  d.Comb = in.Comb;
  if (in.Number >= 0) d.Props.push_back({"Номер тиража:", std::to_string(in.Number)});
  if (!in.Date.empty()) d.Props.push_back({"Дата тиража:", in.Date});
  for (int i = 0; i < stats.Count(); ++i) {
    const TStatClassInfo& cls = stats.StatClass(i);
    if (!cls.IsGraph() || !cls.InDrawsStat() || !cls.IsBuilt()) continue;
    std::unique_ptr<TCustomStat> stat = stats.CreateStat(i);
    TCustomGraphStat* graph = AsGraphStat(stat.get());
    if (!graph) continue;
    std::string caption = stat->GetTitle();
    // A shredding method's name holds its formula.
    if (cls.GetGroup() == 12) {
      try {
        caption = Format(caption, {stats.Method(i).Formula});
      } catch (const FormatError&) {
      }
    }
    d.Props.push_back({std::move(caption), std::to_string(graph->CombNumber(in.Comb, in.DrawIndex, in.LastIndex, in.Sorted))});
  }
  return d;
}

std::string TDetailsCard::Cell(int row, int col) const {
  if (col < 0 || col >= Cols || row < 0) return "";
  const int n = NumberAt(row, col, Cols);
  for (int i = 0; i < NUMS_IN_DRAW; ++i)
    if (Comb[i] == n && n >= 1 && n <= MAX_NUMBER) return std::to_string(n);
  return "";
}

std::optional<uint32_t> TDetailsCard::CellColor(int row, int col, int channelSize) const {
  if (col < 0 || col >= Cols || row < 0) return std::nullopt;
  const int n = NumberAt(row, col, Cols);
  if (n < 1 || n > MAX_NUMBER) return std::nullopt;
  return ChannelColor(n, channelSize);
}

std::vector<std::string> DetailsLines(const TDetails& details, const TDetailsCard& card, const int* channelSize) {
  std::vector<std::string> lines;
  lines.push_back("Свойство\tЗначение");
  for (const TDetailsProp& p : details.Props) lines.push_back(p.Caption + "\t" + p.Value);
  lines.push_back("");
  lines.push_back(std::string(kDetailsColsLabel) + "\t" + std::to_string(card.Cols));
  for (int r = 0; r < card.RowCount(); ++r) {
    std::string line;
    for (int c = 0; c < card.Cols; ++c) {
      if (c) line += '\t';
      line += channelSize ? ColorText(card.CellColor(r, c, *channelSize)) : card.Cell(r, c);
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace quintar
