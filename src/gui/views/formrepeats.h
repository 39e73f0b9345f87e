// The repeats analysis window TFormRepeats ("Количество повторов в зависимости от тиража"): the window
// length and depth fields, the list lvList of (draw, overlap) rows and the chart crtGraph with one line
// per overlap size. It keeps its fields, chart height, list columns and placement in its own section.
#pragma once

#include <QDialog>

#include "analysis/repeats.h"

class QChartView;
class QPushButton;
class QSpinBox;
class QSplitter;
class QTableWidget;

namespace quintar {
class Session;
}

namespace quintar::gui {

class TFormRepeats : public QDialog {
  Q_OBJECT

 public:
  TFormRepeats(QWidget* parent, Session& s);

  // Computes with the fields' values and shows the list and the chart.
  void Calc();

  QSpinBox* edDrawsLen;
  QSpinBox* edDeep;
  QPushButton* btnDrawsStatCalc;
  QTableWidget* lvList;
  QChartView* crtGraph;

 protected:
  void done(int result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowChart(const TRepeatsResult& r);

  Session& s_;
  QSplitter* splitter_;
};

// Opens the window modally; it computes as soon as it opens.
void ShowRepeatsWindow(QWidget* parent, Session& s);

}  // namespace quintar::gui
