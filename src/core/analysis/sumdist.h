// The sum distribution: how the sums of the seven main numbers spread over every possible combination
// (counted by enumerating them all on every run) and over the draws of the archive, with three ranges of
// the likeliest sums.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "combs/graphdata.h"
#include "game/game.h"

namespace quintar {

inline constexpr const char* kSumDistCaption = "Распределение сумм тиражей и всех возможных комбинаций";
inline constexpr const char* kSumDistHint = "Распределение сумм всех возможных комбинаций и архива тиражей одновременно";
inline constexpr const char* kSumDistStatus = "Идет сбор статистики....";
inline constexpr const char* kSumDistActualTitle = "Фактическое распределение сумм (по тиражам)";
inline constexpr const char* kSumDistTheoryTitle = "Теоретическое распределение сумм (по комбинациям)";
inline constexpr const char* kSumDistRangeTitle = "Диапазон %d (от %s и выше по оси Y) - суммы %d-%d";
inline constexpr uint32_t kSumDistActualColor = 0xFF0000;
inline constexpr uint32_t kSumDistTheoryColor = 0x800000;
inline constexpr uint32_t kSumDistRangeColors[3] = {0x008000, 0x0000FF, 0xFF00FF};

struct TSumDistribution {
  std::vector<std::pair<int, int64_t>> Theoretical;  // (sum, combinations), ascending sums
  std::vector<std::pair<int, int>> Actual;           // (sum, draws), ascending sums that occur
  int64_t TMax = 0, TMin = 0;
  int AMax = 0;
  std::array<int64_t, 3> Levels{};
  std::array<int, 3> RangeLow{}, RangeHigh{};

  std::string RangeTitle(int k) const;  // k = 0..2
  // y of a scaled series: value / TMax x AMax.
  double Scaled(int64_t value) const;
};

TSumDistribution ComputeSumDistribution(const TDrawsArray& draws);

// The chart of the chart window with its five series.
TGraphData SumDistributionChart(const TSumDistribution& dist);
// One line per theoretical sum: sum, combinations, draws, the scaled theoretical count and the three
// scaled levels.
std::vector<std::string> SumDistributionLines(const TSumDistribution& dist);

}  // namespace quintar
