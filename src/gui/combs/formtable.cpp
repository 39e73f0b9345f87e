#include "combs/formtable.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/guiutil.h"
#include "app/host.h"

namespace quintar::gui {

TFormTable::TFormTable(QWidget* parent, IHost& host, const TTableRec& base, int selected,
                       const std::vector<TTableRec>& rows)
    : QDialog(parent), host_(host), base_(base), selected_(selected), rows_(rows) {
  setObjectName("TFormTable");
  setWindowTitle(Tr("Добавление регулярной ставки"));
  auto* grid = new QGridLayout;
  auto* commentLabel = new QLabel(Tr("Комментарий к ставке:"), this);
  edComment = new QLineEdit(Q(base.Name()), this);
  edComment->setObjectName("edComment");
  commentLabel->setBuddy(edComment);
  grid->addWidget(commentLabel, 0, 0, 1, 2);
  grid->addWidget(edComment, 1, 0, 1, 2);
  rbUseMyComb = new QRadioButton(Tr("Использовать постоянную стартовую комбинацию:"), this);
  rbUseMyComb->setObjectName("rbUseMyComb");
  grid->addWidget(rbUseMyComb, 2, 0, 1, 2);
  edCombStart = new QLineEdit(this);
  edCombStart->setObjectName("edCombStart");
  edCombStart->setText(selected == 1 ? Q(CombToText(base.Start)) : Tr(kTableSelectedCombs));
  auto* startRow = new QHBoxLayout;
  startRow->addSpacing(20);  // under its choice
  startRow->addWidget(edCombStart);
  grid->addLayout(startRow, 3, 0, 1, 2);
  rbUseLastDraw = new QRadioButton(Tr("Использовать данные предыдущего тиража"), this);
  rbUseLastDraw->setObjectName("rbUseLastDraw");
  grid->addWidget(rbUseLastDraw, 4, 0, 1, 2);
  auto* stepLabel = new QLabel(Tr("Шаг изменения элементов комбинации"), this);
  edStep = new QSpinBox(this);
  edStep->setObjectName("edStep");
  edStep->setRange(kTableStepMin, kTableStepMax);
  edStep->setValue(base.Step);
  stepLabel->setBuddy(edStep);
  grid->addWidget(stepLabel, 5, 0);
  grid->addWidget(edStep, 5, 1);
  (base.FromLastDraw ? rbUseLastDraw : rbUseMyComb)->setChecked(true);
  // The start field takes a combination only with the fixed start and exactly one selected combination.
  auto follow = [this] { edCombStart->setEnabled(rbUseMyComb->isChecked() && selected_ == 1); };
  connect(rbUseMyComb, &QRadioButton::toggled, this, follow);
  follow();

  QDialogButtonBox* box = OkCancel(this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(box);
  setMinimumWidth(420);
}

TTableDialogInput TFormTable::Input() const {
  TTableDialogInput in;
  in.Name = S(edComment->text());
  in.FromLastDraw = rbUseLastDraw->isChecked();
  in.StartText = selected_ == 1 ? S(edCombStart->text()) : std::string();
  in.Step = edStep->value();
  return in;
}

void TFormTable::accept() {
  TTableRec out{};
  const std::string error = TableDialogAccept(Input(), base_, selected_, rows_, out);
  if (!error.empty()) {
    host_.ShowMessage(MsgKind::Error, error);
    return;
  }
  QDialog::accept();
}

}  // namespace quintar::gui
