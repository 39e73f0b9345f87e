#include "combs/formgencombs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/guiutil.h"
#include "combs/combsgen.h"
#include "combs/combslist.h"

namespace quintar::gui {

TFormGenCombs::TFormGenCombs(QWidget* parent, const TCombsGenParams& defaults) : QDialog(parent) {
  setObjectName("TFormGenCombs");
  setWindowTitle(Tr("Создание нового списка комбинаций"));
  setModal(true);

  cbCombsGenerateMode = new QComboBox(this);
  cbCombsGenerateMode->setObjectName("cbCombsGenerateMode");
  for (const char* caption : kGenModeCaptions) cbCombsGenerateMode->addItem(Tr(caption));
  // A stored mode outside the list generates the full list; the dialog shows that.
  cbCombsGenerateMode->setCurrentIndex(defaults.Mode < kGenModeCount ? defaults.Mode : kGenModeFull);

  edCombsGenerateParam = new QLineEdit(this);
  edCombsGenerateParam->setObjectName("edCombsGenerateParam");
  edCombsGenerateParam->setText(Q(defaults.Params));
  const QString hint =
      Tr("Список \"моих чисел\" через точку с запятой или имя файла для режима \"Загрузка из файла\"");
  edCombsGenerateParam->setToolTip(hint);
  edCombsGenerateParam->setStatusTip(hint);
  edCombsGenerateParam->setMinimumWidth(420);

  btnCombsGenerateFile = new QPushButton("...", this);
  btnCombsGenerateFile->setObjectName("btnCombsGenerateFile");
  btnCombsGenerateFile->setFixedWidth(btnCombsGenerateFile->fontMetrics().horizontalAdvance("...") + 20);
  connect(btnCombsGenerateFile, &QPushButton::clicked, this, [this] {
    QString file = ChooseOpenFile(this, kCombsFileFilter);
    if (!file.isEmpty()) edCombsGenerateParam->setText(file);
  });

  cbSaveParameters = new QCheckBox(Tr("Сохранить эти параметры для генерации комбинаций \"по умолчанию\""), this);
  cbSaveParameters->setObjectName("cbSaveParameters");
  cbSaveParameters->setChecked(false);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("btnOK");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("btnCancel");
  buttons->button(QDialogButtonBox::Cancel)->setText(Tr("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* paramRow = new QHBoxLayout;
  paramRow->addWidget(edCombsGenerateParam, 1);
  paramRow->addWidget(btnCombsGenerateFile);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(Tr("Режим генерации:"), this));
  layout->addWidget(cbCombsGenerateMode);
  layout->addWidget(new QLabel(Tr("Параметры:"), this));
  layout->addLayout(paramRow);
  layout->addWidget(cbSaveParameters);
  layout->addStretch(1);
  layout->addWidget(buttons);

  connect(cbCombsGenerateMode, &QComboBox::currentIndexChanged, this, [this] { ModeChanged(); });
  ModeChanged();
  cbCombsGenerateMode->setFocus();
  adjustSize();
}

void TFormGenCombs::ModeChanged() {
  const int mode = cbCombsGenerateMode->currentIndex();
  edCombsGenerateParam->setEnabled(mode != kGenModeFull);
  btnCombsGenerateFile->setEnabled(mode == kGenModeFile);
}

TCombsGenParams TFormGenCombs::Params() const {
  return MakeGenParams(cbCombsGenerateMode->currentIndex(), S(edCombsGenerateParam->text()));
}

bool TFormGenCombs::SaveAsDefaults() const { return cbSaveParameters->isChecked(); }

}  // namespace quintar::gui
