// The data of the chart window: line series found by name (without regard to case) and points with their
// value labels. The desktop program draws it; the stake and rating charts fill it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quintar {

struct TGraphPoint {
  int X;
  double Y;
  std::string Label;  // the mark text: x in decimal
};

struct TGraphSeries {
  std::string Name;
  uint32_t Color = 0;  // 0xRRGGBB; 0 means the chart picks one
  bool ShowPoints = false;
  bool ShowMarks = false;
  int LineWidth = 2;
  int PointSize = 3;
  std::vector<TGraphPoint> Points;
};

class TGraphData {
 public:
  std::string Caption;
  // "Отображать метки на графиках": shows or hides the marks of every series created with marks.
  bool ShowMarks = true;
  std::vector<TGraphSeries> Series;

  // Finds the series by name or creates it with the colour and the points/marks switches, then adds (x, y).
  void AddGraphPoint(int x, std::string_view name, double y, bool showPoints, bool showMarks, uint32_t color);
  const TGraphSeries* Find(std::string_view name) const;
};

inline constexpr const char* kShowMarksCaption = "Отображать метки на графиках";
inline constexpr uint32_t kGraphGreen = 0x008000;
inline constexpr uint32_t kGraphBlue = 0x0000FF;
inline constexpr uint32_t kGraphRed = 0xFF0000;

}  // namespace quintar
