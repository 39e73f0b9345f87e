// The filter editor ("Фильтр"): one filter of a script line — the statistic and the draws its table is
// computed over, how the table's rows are sorted, walked and selected, the filter's own weight
// coefficients, and when the walk stops. OK checks the fields and stays open on the first failure.
#pragma once

#include <QDialog>

#include "combs/filteredit.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLineEdit;
class QSpinBox;

namespace quintar {
class IHost;
}

namespace quintar::gui {

class TFormFilter : public QDialog {
  Q_OBJECT

 public:
  TFormFilter(QWidget* parent, IHost& host, const TFilterEditorSource& source, const TFilterItem& item);

  // The edited filter after an accepted OK.
  const TFilterItem& Item() const { return result_; }

  void accept() override;

  QComboBox* cbDrawsStatType;
  QLineEdit* edDrawsLen;
  QComboBox* cbDrawsSortOrder;
  QComboBox* cbDirection;
  QComboBox* cbFilterMode;
  QCheckBox* cbMultiSelect;
  QComboBox* cbLevelMode;
  QLineEdit* edLevelValue;
  QGroupBox* gbWeights;
  QCheckBox* cbCDLOverride;
  QDoubleSpinBox* edCoefCount;
  QDoubleSpinBox* edCoefDeviation;
  QDoubleSpinBox* edCoefLevel;
  QCheckBox* cbCoefPercents;
  QCheckBox* cbCoefAbs;
  QComboBox* cbStopMode;
  QSpinBox* edStopValue;

 private:
  void ShowFields();
  void ReadFields();
  void UpdateEnabled();

  IHost& host_;
  TFilterEditor editor_;
  TFilterItem result_;
};

// Shows the editor for the item; on OK the item is replaced by the edited one and true is returned.
bool EditFilterItem(QWidget* parent, IHost& host, const TFilterEditorSource& source, TFilterItem& item);

}  // namespace quintar::gui
