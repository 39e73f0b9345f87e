// The graphs view ("Графики"): one graph statistic over the window of draws that ends at the reference
// draw, with the window's mean and most frequent value as flat lines. The page draws these points; the
// command-line program prints them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stats/customstat.h"
#include "stats/drawsstat.h"

namespace quintar {

inline constexpr const char* kGraphsStatus = "Анализ тиражей и построение графиков...";
inline constexpr const char* kGraphsMeanTitle = "Среднее значение";
inline constexpr const char* kGraphsModeTitle = "Наиболее часто встречающееся значение";
inline constexpr const char* kGraphTypeHint = "Тип графика";
inline constexpr const char* kDrawsGraphLenHint = "Количество тиражей, использующихся для построения графиков";
inline constexpr const char* kGraphShowMarksCaption = "Отображать метки на графике";
inline constexpr const char* kDrawsGraphDrawHint = "Построить графики по выбранным параметрам";
inline constexpr int kDrawsGraphLenDefault = 100;
// Colours of the three series (0xRRGGBB) and the main series' line and points.
inline constexpr uint32_t kGraphsMainColor = 0x008000;
inline constexpr uint32_t kGraphsMainPointColor = 0xFF00FF;
inline constexpr uint32_t kGraphsMeanColor = 0x0000FF;
inline constexpr uint32_t kGraphsModeColor = 0xFF0000;
inline constexpr int kGraphsMainLineWidth = 2;
inline constexpr int kGraphsMainPointSize = 2;

struct TGraphsPoint {
  int32_t Draw = 0;   // x and the point's label: the draw number
  int32_t Value = 0;  // y: the statistic's value for that draw
};

// What the chart shows: the main series and the two flat lines over the same draws.
struct TGraphsData {
  std::string Title;  // the main series' title: the method's display name
  std::vector<TGraphsPoint> Points;
  double Mean = 0;   // sum of the values / number of draws of the window
  int32_t Mode = 0;  // the most frequent value; on a tie the one met first (oldest draw first)
  bool Empty() const { return Points.empty(); }
};

// The values of draws w.First..w.Last (oldest first) by DrawNumber(index, w.Last, sorted), their mean and
// their mode.
TGraphsData ComputeGraphs(TCustomGraphStat& stat, const TDrawsArray& draws, TDrawsStatWindow w, bool sorted,
                          std::string title);

// The chart as text lines: the captions, then one line per point (draw, value, mean "%.4f", mode and,
// with marks, the mark: the value). Cells are tab-separated.
std::vector<std::string> GraphsLines(const TGraphsData& data, bool marks);

}  // namespace quintar
