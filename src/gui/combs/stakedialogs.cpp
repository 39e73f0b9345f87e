#include "combs/stakedialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>
#include <climits>

#include "app/guiutil.h"
#include "app/host.h"

namespace quintar::gui {

namespace {

QSpinBox* Spin(QWidget* parent, const char* name, int min, int max, int value) {
  auto* e = new QSpinBox(parent);
  e->setObjectName(name);
  e->setRange(min, max);
  e->setValue(value);
  return e;
}

QLineEdit* Edit(QWidget* parent, const char* name, const QString& text) {
  auto* e = new QLineEdit(text, parent);
  e->setObjectName(name);
  return e;
}

}  // namespace

// One stake -------------------------------------------------------------------------------------------

TFormStake::TFormStake(QWidget* parent, IHost& host, const TStakeRec& base)
    : QDialog(parent), host_(host), base_(base), result_(base) {
  setObjectName("TFormStake");
  setWindowTitle(Tr("Добавление ставки"));
  auto* form = new QFormLayout;
  edDrawNumber = Spin(this, "edDrawNumber", 1, INT_MAX, std::max(1, base.Draw));
  form->addRow(Tr("Номер первого тиража"), edDrawNumber);
  edStakeData = Edit(this, "edStakeData", Q(StakeNumbersText(base)));
  edStakeData->setToolTip(Tr("Введите числа, разделенные точкой с запятой или запятой"));
  form->addRow(Tr("Ставка"), edStakeData);
  edStakeSum = Edit(this, "edStakeSum", "");
  edStakeSum->setReadOnly(true);
  form->addRow(Tr("Сумма"), edStakeSum);
  edComment = Edit(this, "edComment", Q(base.Comment()));
  form->addRow(Tr("Комментарий"), edComment);
  edDrawsCount = Spin(this, "edDrawsCount", 1, kMaxStakeDraws, 1);
  edDrawsCount->setToolTip(Tr("Количество тиражей, на которые нужно сделать ставку (начиная с указанного)"));
  form->addRow(Tr("Количество тиражей"), edDrawsCount);
  auto update = [this] { edStakeSum->setText(QString::number(StakeTextSum(S(edStakeData->text())))); };
  connect(edStakeData, &QLineEdit::textChanged, this, update);
  update();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(OkCancel(this));
}

TStakeDialogInput TFormStake::Input() const {
  TStakeDialogInput in;
  in.Draw = edDrawNumber->value();
  in.Numbers = S(edStakeData->text());
  in.Comment = S(edComment->text());
  in.Draws = edDrawsCount->value();
  return in;
}

void TFormStake::accept() {
  const std::string error = StakeDialogAccept(Input(), base_, result_);
  if (!error.empty()) {
    host_.ShowMessage(MsgKind::Error, error);
    return;
  }
  QDialog::accept();
}

// One stake per combination ---------------------------------------------------------------------------

TFormMulti::TFormMulti(QWidget* parent, IHost& host, int draw) : QDialog(parent), host_(host) {
  setObjectName("TFormMulti");
  setWindowTitle(Tr("Добавление мультиставки"));
  auto* form = new QFormLayout;
  edDrawNumber = Spin(this, "edDrawNumber", 1, INT_MAX, std::max(1, draw));
  form->addRow(Tr("Номер тиража"), edDrawNumber);
  edDrawsCount = Spin(this, "edDrawsCount", 1, kMaxStakeDraws, 1);
  edDrawsCount->setToolTip(Tr("Количество тиражей, на которые нужно сделать ставку (начиная с указанного)"));
  form->addRow(Tr("Количество тиражей"), edDrawsCount);
  edComment = Edit(this, "edComment", Q(kManualStakeComment));
  form->addRow(Tr("Комментарий"), edComment);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(OkCancel(this));
}

void TFormMulti::accept() {
  const std::string error = MultiStakeDialogCheck(edDrawNumber->value(), edDrawsCount->value(), S(edComment->text()));
  if (!error.empty()) {
    host_.ShowMessage(MsgKind::Error, error);
    return;
  }
  QDialog::accept();
}

// Delete by condition ---------------------------------------------------------------------------------

TFormStakeFilter::TFormStakeFilter(QWidget* parent) : QDialog(parent) {
  setObjectName("TFormStakeFilter");
  setWindowTitle(Tr("Удаление по условию"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(Tr("Выберите условие:"), this));
  auto* row = new QHBoxLayout;
  cbCondition = new QComboBox(this);
  cbCondition->setObjectName("cbCondition");
  for (const std::string& c : StakeFilterConditions()) cbCondition->addItem(Tr(c));
  cbCondition->setCurrentIndex(0);
  row->addWidget(cbCondition, 1);
  edValue = Spin(this, "edValue", 0, NUMS_IN_DRAW, 0);
  edValue->setToolTip(Tr("Количество совпадений"));
  row->addWidget(edValue);
  layout->addLayout(row);
  layout->addWidget(OkCancel(this));
}

int TFormStakeFilter::Condition() const { return cbCondition->currentIndex(); }
int TFormStakeFilter::Value() const { return edValue->value(); }

}  // namespace quintar::gui
