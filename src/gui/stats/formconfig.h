// The configuration dialog "Параметры системы": the matrix size with its segment grid, the channel size,
// the stake price, the prizes and the coefficients of the weight column. It edits a copy of the
// catalogue's settings block; OK hands the edited block back through Data().
#pragma once

#include <QDialog>

#include "stats/configedit.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;
class QTableWidgetItem;

namespace quintar {
class IHost;
}

namespace quintar::gui {

class TFormConfig : public QDialog {
  Q_OBJECT

 public:
  TFormConfig(QWidget* parent, IHost& host, const TConfigData& data);

  // The block as edited; complete after an accepted OK.
  const TConfigData& Data() const { return editor_.Data(); }

  void accept() override;

  QSpinBox* edMatrixCol;
  QSpinBox* edMatrixRow;
  QTableWidget* sgSegments;
  QSpinBox* edChannelSize;
  QLineEdit* edCost;
  QLabel* lblStakeMaxLen;
  QSpinBox* edStakeMaxLen;
  QTableWidget* edProfits;
  QLineEdit* edCoefCount;
  QLineEdit* edCoefDeviation;
  QLineEdit* edCoefLevel;
  QCheckBox* cbCoefPercents;
  QCheckBox* cbCoefAbs;

 private:
  void MatrixColsChanged(int cols);
  void FillSegments();
  void SegmentEdited(QTableWidgetItem* item);
  void FillProfits();
  // Reads a coefficient field; false after an error box (the field gets the focus).
  bool ReadCoef(QLineEdit* ed, double& value);

  IHost& host_;
  TConfigEditor editor_;
  bool filling_ = false;
};

}  // namespace quintar::gui
