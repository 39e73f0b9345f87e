// The chart window: a line chart of named series with point markers and value marks, used by the stake
// and rating charts. Its caption is the hint of the command that opens it; the box "Отображать метки на
// графиках" shows or hides the marks of every series that was created with marks. The window keeps its
// placement in its own section of the window-settings file.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <vector>

class QCheckBox;
class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;

namespace quintar {
class FormSettings;
class TGraphData;
}  // namespace quintar

namespace quintar::gui {

class TFormGraph : public QDialog {
  Q_OBJECT

 public:
  // With settings the window restores its placement now and stores it when it closes.
  explicit TFormGraph(QWidget* parent = nullptr, FormSettings* settings = nullptr);

  // Finds the series by name (without regard to case) or creates it with the colour (0xRRGGBB; 0 lets the
  // chart choose), line width 2, point size 3, points and marks as asked; then adds the point (x, y)
  // marked with x in decimal.
  void AddGraphPoint(int x, const QString& name, double y, bool showPoints, bool showMarks, uint32_t color);
  // The caption and every point of a chart the core built, series by series.
  void ShowGraph(const TGraphData& data);

  int SeriesCount() const { return static_cast<int>(series_.size()); }
  QLineSeries* Series(int index) const { return series_[static_cast<size_t>(index)].Line; }
  QLineSeries* Series(const QString& name) const;
  // Whether the series was created with marks (the box shows or hides only those).
  bool SeriesHasMarks(int index) const { return series_[static_cast<size_t>(index)].Marks; }

  QChartView* crtGraph;
  QCheckBox* cbShowMarks;

 protected:
  void done(int result) override;

 private:
  struct TSeriesEntry {
    QLineSeries* Line;
    bool Marks;
  };
  TSeriesEntry& FindOrAdd(const QString& name, bool showPoints, bool showMarks, uint32_t color);
  void ApplyMarks();
  void Rescale();

  QChart* chart_;
  QValueAxis* axisX_;
  QValueAxis* axisY_;
  std::vector<TSeriesEntry> series_;
  FormSettings* settings_;
  bool batch_ = false;
};

// The window's section in the window-settings file.
inline constexpr const char* kFormGraphSection = "TFormGraph";

// Shows a chart the core built in a modal chart window.
void ShowGraphWindow(QWidget* parent, FormSettings* settings, const TGraphData& data);

}  // namespace quintar::gui
