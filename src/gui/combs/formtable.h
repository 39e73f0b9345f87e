// The table dialog (TFormTable, "Добавление регулярной ставки"): the name, a fixed start combination or
// the previous draw's numbers, and the step. OK closes it only when the checks pass.
#pragma once

#include <QDialog>
#include <vector>

#include "combs/tables.h"

class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace quintar {
class IHost;
}

namespace quintar::gui {

class TFormTable : public QDialog {
  Q_OBJECT

 public:
  // base: the record the dialog starts from; selected: the combinations selected in the list (with
  // exactly one the start field shows and edits base's start); rows: the tables for the name check.
  TFormTable(QWidget* parent, IHost& host, const TTableRec& base, int selected, const std::vector<TTableRec>& rows);
  void accept() override;
  TTableDialogInput Input() const;

  QLineEdit* edComment;
  QRadioButton* rbUseMyComb;
  QLineEdit* edCombStart;
  QRadioButton* rbUseLastDraw;
  QSpinBox* edStep;

 private:
  IHost& host_;
  TTableRec base_;
  int selected_;
  const std::vector<TTableRec>& rows_;
};

}  // namespace quintar::gui
