// Page "Статистика": the statistics table over the analysis window (lvDrawsStat), its chooser and draws
// count, and the chart under it (crtDrawsStat). The table and its selection live in the session's
// TDrawsStat; the page shows them and hands clicks, sort requests and selections back.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "app/mainpage.h"

class QChart;
class QChartView;
class QComboBox;
class QSpinBox;
class QSplitter;
class QTableView;
class QToolButton;

namespace quintar {
class Session;
}

namespace quintar::gui {

class ActionRegistry;

// The rows of Session::DrawsStat as a Qt table model.
class TDrawsStatModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit TDrawsStatModel(Session& session, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void Reset();

 private:
  Session& session_;
};

class TDrawsStatPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TDrawsStatPage(Session& session, QWidget* parent = nullptr);

  void ReadSettings(const IniFile& ini) override;
  void WriteSettings(IniFile& ini) override;
  void RefreshPage(bool force) override;
  // The page's commands: DrawsStatCalc, the two switches and the table's pop-up menu (with the filter
  // commands when they exist).
  void BindCommands(ActionRegistry& actions);

  QComboBox* cbDrawsStatType;
  QSpinBox* edDrawsStatLen;
  QToolButton* btnDrawsStatCalc;
  QTableView* lvDrawsStat;
  QChartView* crtDrawsStat;
  TDrawsStatModel* Model() const { return model_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillChooser();
  void ShowTable();
  void ShowChart();
  void ShowNormColumns();
  void PushSelection();
  void PullSelection();

  Session& session_;
  TDrawsStatModel* model_;
  QSplitter* splitter_;
  int chartHeight_ = 220;
  int normShown_ = -1;  // last applied norm column state, -1 before the first
  bool syncing_ = false;
};

}  // namespace quintar::gui
