#include "analysis/graphsview.h"

#include <unordered_map>

#include "util/format.h"

namespace quintar {

TGraphsData ComputeGraphs(TCustomGraphStat& stat, const TDrawsArray& draws, TDrawsStatWindow w, bool sorted,
                          std::string title) {
  TGraphsData data;
  data.Title = std::move(title);
  const int last = std::min(w.Last, static_cast<int>(draws.size()) - 1);
  if (last < w.First) return data;
  data.Points.reserve(static_cast<size_t>(last - w.First + 1));
  // Values in the order they are first met, with their counts.
  std::vector<std::pair<int32_t, int>> counts;
  std::unordered_map<int32_t, size_t> where;
  int64_t sum = 0;
  for (int i = w.First; i <= last; ++i) {
    const int32_t v = stat.DrawNumber(i, w.Last, sorted);
    data.Points.push_back({draws[static_cast<size_t>(i)].Number, v});
    sum += v;
    auto [it, added] = where.try_emplace(v, counts.size());
    if (added)
      counts.push_back({v, 1});
    else
      ++counts[it->second].second;
  }
  data.Mean = static_cast<double>(sum) / static_cast<double>(data.Points.size());
  size_t best = 0;
  for (size_t k = 1; k < counts.size(); ++k)
    if (counts[k].second > counts[best].second) best = k;
  data.Mode = counts[best].first;
  return data;
}

std::vector<std::string> GraphsLines(const TGraphsData& data, bool marks) {
  std::vector<std::string> lines;
  lines.reserve(data.Points.size() + 1);
  std::string caption = "Тираж\t" + data.Title + "\t" + kGraphsMeanTitle + "\t" + kGraphsModeTitle;
  if (marks) caption += "\tМетка";
  lines.push_back(std::move(caption));
  const std::string tail = "\t" + Format("%.4f", {data.Mean}) + "\t" + std::to_string(data.Mode);
  for (const TGraphsPoint& p : data.Points) {
    std::string line = std::to_string(p.Draw) + "\t" + std::to_string(p.Value) + tail;
    if (marks) line += "\t" + std::to_string(p.Value);
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace quintar
