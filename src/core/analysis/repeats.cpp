#include "analysis/repeats.h"

#include <algorithm>
#include <bit>

#include "util/format.h"

namespace quintar {

namespace {

// The draw's main numbers 1..35 as bits (a number outside, from a bad import, is no number of 1..35).
uint64_t MaskOf(const TDraw& d) {
  uint64_t m = 0;
  for (int i = 0; i < NUMS_IN_DRAW; ++i)
    if (d.Nums[i] >= 1 && d.Nums[i] <= MAX_NUMBER) m |= uint64_t{1} << d.Nums[i];
  return m;
}

}  // namespace

int RepeatsWindowLength(int archiveCount, int len) {
  if (archiveCount <= 0) return 0;
  return static_cast<int>(std::min<int64_t>(archiveCount, std::max(len, 1)));
}

TRepeatsResult ComputeRepeats(const TDrawsArray& draws, int len, int deep, const std::function<void(int)>& step) {
  TRepeatsResult result;
  const int newest = static_cast<int>(draws.size()) - 1;
  const int first = newest - RepeatsWindowLength(newest + 1, len) + 1;
  std::vector<uint64_t> masks(draws.size());
  for (size_t i = 0; i < draws.size(); ++i) masks[i] = MaskOf(draws[i]);
  int done = 0;
  for (int d = newest; d >= first && d >= 0; --d) {
    const size_t start = result.Rows.size();
    const int from = static_cast<int>(std::max<int64_t>(0, static_cast<int64_t>(d) - std::max(deep, 0)));
    const TDraw& dd = draws[static_cast<size_t>(d)];
    for (int k = d - 1; k >= from; --k) {
      const TDraw& kd = draws[static_cast<size_t>(k)];
      const int m = std::popcount(masks[static_cast<size_t>(d)] & masks[static_cast<size_t>(k)]);
      result.MaxMatches = std::max(result.MaxMatches, m);
      if (m <= 0) continue;
      auto it = std::find_if(result.Rows.begin() + static_cast<std::ptrdiff_t>(start), result.Rows.end(),
                             [m](const TRepeatsRow& r) { return r.Matches == m; });
      if (it != result.Rows.end()) {
        ++it->Count;
        it->Draws += " " + std::to_string(kd.Number);
      } else {
        result.Rows.push_back({dd.Number, m, 1, std::to_string(kd.Number)});
      }
    }
    ++done;
    if (step) step(done);
  }
  return result;
}

std::vector<TRepeatsSeries> RepeatsChart(const TRepeatsResult& result) {
  std::vector<TRepeatsSeries> series(static_cast<size_t>(result.MaxMatches));
  for (int m = 1; m <= result.MaxMatches; ++m) series[static_cast<size_t>(m - 1)].Title = Format(kRepeatsSeriesTitle, {m});
  for (auto it = result.Rows.rbegin(); it != result.Rows.rend(); ++it)
    if (it->Matches >= 1 && it->Matches <= result.MaxMatches)
      series[static_cast<size_t>(it->Matches - 1)].Points.push_back({it->Draw, static_cast<double>(it->Count),
                                                                    std::to_string(it->Draw)});
  return series;
}

std::vector<std::string> RepeatsLines(const TRepeatsResult& result) {
  std::vector<std::string> lines;
  lines.reserve(result.Rows.size() + 1);
  lines.push_back("Тираж\tСовпадений\tКол-во повторов\tСписок тиражей");
  for (const TRepeatsRow& r : result.Rows)
    lines.push_back(Format("%d\t%d\t%d\t%s", {r.Draw, r.Matches, r.Count, r.Draws}));
  return lines;
}

std::vector<std::string> RepeatsChartLines(const TRepeatsResult& result) {
  std::vector<std::string> lines;
  lines.push_back("Серия\tТираж\tКол-во повторов");
  for (const TRepeatsSeries& s : RepeatsChart(result)) {
    if (s.Points.empty()) lines.push_back(s.Title + "\t\t");
    for (const TGraphPoint& p : s.Points) lines.push_back(Format("%s\t%d\t%d", {s.Title, p.X, static_cast<int>(p.Y)}));
  }
  return lines;
}

}  // namespace quintar
