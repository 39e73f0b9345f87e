// The dialog "Методы шинковки": the three shredding formulas with the count of decimal digits each
// keeps. OK hands the fields back through Data().
#pragma once

#include <QDialog>

#include "app/shreddingedit.h"

class QLineEdit;
class QSpinBox;

namespace quintar::gui {

class TFormShredding : public QDialog {
  Q_OBJECT

 public:
  TFormShredding(QWidget* parent, const TShreddingSettings& data);

  TShreddingSettings Data() const;

  QLineEdit* edFormula1;
  QLineEdit* edFormula2;
  QLineEdit* edFormula3;
  QSpinBox* edDigits1;
  QSpinBox* edDigits2;
  QSpinBox* edDigits3;
};

}  // namespace quintar::gui
