// Page "Графики": one graph statistic over the draws of a window ending at the reference draw, with the
// window's mean and most frequent value (crtDrawsGraph). The data is the session's TAnalysisViews graphs
// model; the page draws it and hands the chooser, the window length and the marks switch back.
#pragma once

#include "app/mainpage.h"

class QCheckBox;
class QChartView;
class QComboBox;
class QLineSeries;
class QSpinBox;
class QToolButton;
class QValueAxis;

namespace quintar {
class Session;
}

namespace quintar::gui {

class ActionRegistry;

class TGraphsPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TGraphsPage(Session& session, QWidget* parent = nullptr);

  void ReadSettings(const IniFile& ini) override;
  void WriteSettings(IniFile& ini) override;
  void RefreshPage(bool force) override;
  // The page's command DrawsGraphDraw and its button.
  void BindCommands(ActionRegistry& actions);

  QComboBox* cbDrawsGraphType;
  QSpinBox* edDrawsGraphLen;
  QCheckBox* cbDrawsGraphShowMarks;
  QToolButton* btnDrawsGraphDraw;
  QChartView* crtDrawsGraph;
  // The main series (nullptr while the chart is empty).
  QLineSeries* MainSeries() const { return main_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillChooser();
  void ShowChart();

  Session& session_;
  QLineSeries* main_ = nullptr;
  QValueAxis* axisX_;
  QValueAxis* axisY_;
  int shownGeneration_ = -1;
  bool syncing_ = false;
};

}  // namespace quintar::gui
