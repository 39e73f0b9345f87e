#include "analysis/sumdist.h"

#include <algorithm>

#include "util/format.h"

namespace quintar {

namespace {

TGraphSeries MakeSeries(std::string name, uint32_t color, bool points, bool marks) {
  TGraphSeries s;
  s.Name = std::move(name);
  s.Color = color;
  s.ShowPoints = points;
  s.ShowMarks = marks;
  return s;
}

// Combinations per sum: every 7 of 1..35 in ascending order, the sum carried down the loops.
std::array<int64_t, 225> TheoreticalCounts() {
  std::array<int64_t, 225> counts{};
  for (int a = 1; a <= 29; ++a)
    for (int b = a + 1; b <= 30; ++b)
      for (int c = b + 1; c <= 31; ++c)
        for (int d = c + 1; d <= 32; ++d)
          for (int e = d + 1; e <= 33; ++e) {
            const int s5 = a + b + c + d + e;
            for (int f = e + 1; f <= 34; ++f) {
              int64_t* row = counts.data() + s5 + f;
              for (int g = f + 1; g <= 35; ++g) ++row[g];
            }
          }
  return counts;
}

const char* const kLevelTexts[3] = {"1/3", "1/2", "2/3"};

}  // namespace

std::string TSumDistribution::RangeTitle(int k) const {
  return Format(kSumDistRangeTitle, {k + 1, kLevelTexts[k], RangeLow[static_cast<size_t>(k)], RangeHigh[static_cast<size_t>(k)]});
}

double TSumDistribution::Scaled(int64_t value) const {
  return TMax > 0 ? static_cast<double>(value) / static_cast<double>(TMax) * AMax : 0.0;
}

TSumDistribution ComputeSumDistribution(const TDrawsArray& draws) {
  TSumDistribution dist;
  const std::array<int64_t, 225> counts = TheoreticalCounts();
  for (int s = 0; s < static_cast<int>(counts.size()); ++s)
    if (counts[static_cast<size_t>(s)] > 0) dist.Theoretical.push_back({s, counts[static_cast<size_t>(s)]});

  std::vector<int> actual;
  for (const TDraw& d : draws) {
    int s = 0;
    for (int i = 0; i < NUMS_IN_DRAW; ++i) s += d.Nums[i];
    if (s >= static_cast<int>(actual.size())) actual.resize(static_cast<size_t>(s) + 1, 0);
    ++actual[static_cast<size_t>(s)];
  }
  for (int s = 0; s < static_cast<int>(actual.size()); ++s)
    if (actual[static_cast<size_t>(s)] > 0) {
      dist.Actual.push_back({s, actual[static_cast<size_t>(s)]});
      dist.AMax = std::max(dist.AMax, actual[static_cast<size_t>(s)]);
    }

  dist.TMax = dist.Theoretical.front().second;
  dist.TMin = dist.Theoretical.front().second;
  for (const auto& [s, n] : dist.Theoretical) {
    dist.TMax = std::max(dist.TMax, n);
    dist.TMin = std::min(dist.TMin, n);
  }
  const int64_t span = dist.TMax - dist.TMin + 1;
  dist.Levels = {dist.TMin + span / 3, dist.TMin + span / 2, dist.TMin + 2 * span / 3};
  const int n = static_cast<int>(dist.Theoretical.size());
  for (size_t k = 0; k < 3; ++k) {
    // The lowest sum reaching the level over the lower half, the highest over the upper half.
    dist.RangeLow[k] = dist.Theoretical[static_cast<size_t>(n / 2)].first;
    for (int i = 0; i <= n / 2; ++i)
      if (dist.Theoretical[static_cast<size_t>(i)].second >= dist.Levels[k]) {
        dist.RangeLow[k] = dist.Theoretical[static_cast<size_t>(i)].first;
        break;
      }
    dist.RangeHigh[k] = dist.Theoretical[static_cast<size_t>(n / 2)].first;
    for (int i = n - 1; i >= n / 2; --i)
      if (dist.Theoretical[static_cast<size_t>(i)].second >= dist.Levels[k]) {
        dist.RangeHigh[k] = dist.Theoretical[static_cast<size_t>(i)].first;
        break;
      }
  }
  return dist;
}

TGraphData SumDistributionChart(const TSumDistribution& dist) {
  TGraphData g;
  g.Caption = kSumDistCaption;
  g.ShowMarks = true;
  TGraphSeries actual = MakeSeries(kSumDistActualTitle, kSumDistActualColor, true, true);
  for (const auto& [s, n] : dist.Actual) actual.Points.push_back({s, static_cast<double>(n), std::to_string(s)});
  TGraphSeries theory = MakeSeries(kSumDistTheoryTitle, kSumDistTheoryColor, false, false);
  for (const auto& [s, n] : dist.Theoretical) theory.Points.push_back({s, dist.Scaled(n), std::to_string(s)});
  g.Series.push_back(std::move(actual));
  g.Series.push_back(std::move(theory));
  for (int k = 0; k < 3; ++k) {
    TGraphSeries range = MakeSeries(dist.RangeTitle(k), kSumDistRangeColors[k], false, false);
    const double y = dist.Scaled(dist.Levels[static_cast<size_t>(k)]);
    for (const auto& [s, n] : dist.Theoretical) range.Points.push_back({s, y, std::to_string(s)});
    g.Series.push_back(std::move(range));
  }
  return g;
}

std::vector<std::string> SumDistributionLines(const TSumDistribution& dist) {
  std::vector<std::string> lines;
  lines.push_back(std::string("Сумма\tКомбинаций\t") + kSumDistActualTitle + "\t" + kSumDistTheoryTitle + "\t" +
                  dist.RangeTitle(0) + "\t" + dist.RangeTitle(1) + "\t" + dist.RangeTitle(2));
  std::string levels;
  for (size_t k = 0; k < 3; ++k) levels += "\t" + Format("%.4f", {dist.Scaled(dist.Levels[k])});
  size_t a = 0;
  for (const auto& [s, n] : dist.Theoretical) {
    while (a < dist.Actual.size() && dist.Actual[a].first < s) ++a;
    const std::string draws = a < dist.Actual.size() && dist.Actual[a].first == s ? std::to_string(dist.Actual[a].second) : "";
    lines.push_back(std::to_string(s) + "\t" + std::to_string(n) + "\t" + draws + "\t" +
                    Format("%.4f", {dist.Scaled(n)}) + levels);
  }
  return lines;
}

}  // namespace quintar
