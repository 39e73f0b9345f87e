#include "combs/graphdata.h"

#include "util/strutil.h"

namespace quintar {

const TGraphSeries* TGraphData::Find(std::string_view name) const {
  for (const auto& s : Series)
    if (AnsiSameText(s.Name, name)) return &s;
  return nullptr;
}

void TGraphData::AddGraphPoint(int x, std::string_view name, double y, bool showPoints, bool showMarks,
                               uint32_t color) {
  TGraphSeries* series = nullptr;
  for (auto& s : Series)
    if (AnsiSameText(s.Name, name)) {
      series = &s;
      break;
    }
  if (!series) {
    TGraphSeries s;
    s.Name = std::string(name);
    s.Color = color;
    s.ShowPoints = showPoints;
    s.ShowMarks = showMarks;
    Series.push_back(std::move(s));
    series = &Series.back();
  }
  series->Points.push_back({x, y, std::to_string(x)});
}

}  // namespace quintar
