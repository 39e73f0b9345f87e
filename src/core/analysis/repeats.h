// The repeats analysis: for each draw of a window ending at the newest draw, how many of the draws before
// it (up to a depth) share exactly m main numbers with it, and which; a list and a chart with one line
// per overlap size.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "combs/graphdata.h"
#include "game/game.h"

namespace quintar {

inline constexpr const char* kRepeatsCaption = "Количество повторов в зависимости от тиража";
inline constexpr const char* kRepeatsSection = "TFormRepeats";
inline constexpr const char* kRepeatsLenHint = "Количество тиражей, использующихся для расчета статистики";
inline constexpr const char* kRepeatsDeepHint =
    "Количество тиражей, просматриваемых \"в глубину\" для поиска совпадений";
inline constexpr const char* kRepeatsCollecting = "Идет сбор статистики....";
inline constexpr const char* kRepeatsCharting = "Создание графиков...";
inline constexpr const char* kRepeatsSeriesTitle = "Совпадений: %d";
inline constexpr int kRepeatsLenDefault = 100;
inline constexpr int kRepeatsDeepDefault = 100;

struct TRepeatsRow {
  int32_t Draw = 0;   // "Тираж"
  int Matches = 0;    // "Совпадений": overlap size m >= 1
  int Count = 0;      // "Кол-во повторов"
  std::string Draws;  // "Список тиражей": the earlier draws' numbers, nearest first, joined with " "
};

struct TRepeatsResult {
  std::vector<TRepeatsRow> Rows;
  int MaxMatches = 0;  // the largest overlap met in the whole run
};

// Draws max(0, newest - len + 1) .. newest, newest first, each against the draws max(0, d - deep) .. d - 1,
// nearest first. step is called after each draw with the number done so far.
TRepeatsResult ComputeRepeats(const TDrawsArray& draws, int len, int deep, const std::function<void(int)>& step = {});
// How many draws of the window the computation walks (the progress display's step count).
int RepeatsWindowLength(int archiveCount, int len);

// The chart: series "Совпадений: 1" .. "Совпадений: M", each row a point (x = draw, y = count) of its
// series, added from the last row to the first. Colours are the caller's.
struct TRepeatsSeries {
  std::string Title;
  std::vector<TGraphPoint> Points;
};
std::vector<TRepeatsSeries> RepeatsChart(const TRepeatsResult& result);

std::vector<std::string> RepeatsLines(const TRepeatsResult& result);
std::vector<std::string> RepeatsChartLines(const TRepeatsResult& result);

}  // namespace quintar
