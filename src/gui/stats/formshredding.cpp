#include "stats/formshredding.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "app/guiutil.h"

namespace quintar::gui {

namespace {
constexpr const char* kNote =
    "Используемые переменные:\r\nn1, n2, n3, ..., nX - числа текущего тиража\r\np1, p2, p3, ..., pX - числа "
    "предыдущего тиража";
}

TFormShredding::TFormShredding(QWidget* parent, const TShreddingSettings& data) : QDialog(parent) {
  setObjectName("TFormShredding");
  setWindowTitle(Tr("Методы шинковки"));
  setModal(true);

  QLineEdit** formulas[kShreddingFormulas] = {&edFormula1, &edFormula2, &edFormula3};
  QSpinBox** digits[kShreddingFormulas] = {&edDigits1, &edDigits2, &edDigits3};
  auto* grid = new QGridLayout;
  for (int i = 0; i < kShreddingFormulas; ++i) {
    auto* ed = new QLineEdit(this);
    ed->setObjectName(QString("edFormula%1").arg(i + 1));
    ed->setToolTip(Tr("Используемая формула"));
    ed->setMinimumWidth(320);
    ed->setText(Q(data.Formula[i]));
    auto* spin = new QSpinBox(this);
    spin->setObjectName(QString("edDigits%1").arg(i + 1));
    spin->setToolTip(Tr("Количество используемых знаков после запятой"));
    spin->setRange(kMinShreddingDigits, kMaxShreddingDigits);
    spin->setValue(std::clamp(data.Digits[i], kMinShreddingDigits, kMaxShreddingDigits));
    auto* label = new QLabel(Tr("Формула " + std::to_string(i + 1) + ":"), this);
    label->setBuddy(ed);
    grid->addWidget(label, i, 0);
    grid->addWidget(ed, i, 1);
    grid->addWidget(spin, i, 2);
    *formulas[i] = ed;
    *digits[i] = spin;
  }

  auto* note = new QLabel(Tr(kNote).replace("\r\n", "\n"), this);
  note->setObjectName("lblNote");

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("btnOK");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("btnCancel");
  buttons->button(QDialogButtonBox::Cancel)->setText(Tr("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(note);
  layout->addStretch(1);
  layout->addWidget(buttons);
  adjustSize();
}

TShreddingSettings TFormShredding::Data() const {
  TShreddingSettings d;
  const QLineEdit* formulas[kShreddingFormulas] = {edFormula1, edFormula2, edFormula3};
  const QSpinBox* digits[kShreddingFormulas] = {edDigits1, edDigits2, edDigits3};
  for (int i = 0; i < kShreddingFormulas; ++i) {
    d.Formula[i] = S(formulas[i]->text());
    d.Digits[i] = digits[i]->value();
  }
  return d;
}

}  // namespace quintar::gui
