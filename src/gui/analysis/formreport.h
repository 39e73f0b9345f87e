// The window of the figures against chance: the text of the core's report (tables and verdicts), a bar
// chart of observed against expected counts for the part chosen in cbChart, and "Сохранить..." which
// writes the whole report with its charts as an HTML file.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "analysis/significance.h"

class QChart;
class QChartView;
class QComboBox;
class QPushButton;
class QTextBrowser;

namespace quintar {
class IHost;
}

namespace quintar::gui {

class TFormReport : public QDialog {
  Q_OBJECT

 public:
  // text: the report without charts as the window shows it; page: the whole page that "Сохранить..."
  // writes.
  TFormReport(QWidget* parent, IHost& host, const QString& caption, const std::string& text, std::string page,
              std::vector<TReportChart> charts);

  QTextBrowser* txtReport;
  QComboBox* cbChart;
  QChartView* crtReport;
  QPushButton* btnSave;
  QPushButton* btnClose;

  void ShowChart(int index);
  // Writes the page through a temporary file; false after the error was shown.
  bool SaveTo(const std::string& path);

 private:
  IHost& host_;
  std::string page_;
  std::vector<TReportChart> charts_;
  QChart* chart_;
};

// Opens the window (not modal, deleted when closed) for the rows, or for the archive's window.
TFormReport* ShowSignificance(QWidget* parent, IHost& host, const std::vector<TRowSignificance>& rows);
TFormReport* ShowRandomness(QWidget* parent, IHost& host, const TRandomnessReport& report);

}  // namespace quintar::gui
