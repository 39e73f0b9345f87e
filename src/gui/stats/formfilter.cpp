#include "stats/formfilter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QValidator>
#include <QVBoxLayout>

#include "app/guiutil.h"
#include "app/host.h"

namespace quintar::gui {

namespace {

// The value fields take digits, ",", "-" and ";" only, typed or pasted.
class TValueListValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& /*pos*/) const override {
    for (QChar c : input)
      if (!FilterEditorAcceptsChar(c.unicode())) return Invalid;
    return Acceptable;
  }
};

// A coefficient shown without trailing zeros ("0,5", "-1").
class TCoefEdit : public QDoubleSpinBox {
 public:
  using QDoubleSpinBox::QDoubleSpinBox;
  QString textFromValue(double value) const override {
    QString t = locale().toString(value, 'f', decimals());
    const QChar point = locale().decimalPoint().front();
    if (t.contains(point)) {
      while (t.endsWith('0')) t.chop(1);
      if (t.endsWith(point)) t.chop(1);
    }
    return t;
  }
};

QDoubleSpinBox* CoefEdit(const char* name, QWidget* parent) {
  auto* e = new TCoefEdit(parent);
  e->setObjectName(name);
  e->setLocale(QLocale(QLocale::Russian, QLocale::Russia));
  e->setDecimals(6);
  e->setRange(-1e9, 1e9);
  e->setSingleStep(0.1);
  return e;
}

}  // namespace

TFormFilter::TFormFilter(QWidget* parent, IHost& host, const TFilterEditorSource& source, const TFilterItem& item)
    : QDialog(parent), host_(host), editor_(source, item) {
  setObjectName("TFormFilter");
  setWindowTitle(Tr(kFilterEditorCaption));
  setModal(true);

  cbDrawsStatType = new QComboBox(this);
  cbDrawsStatType->setObjectName("cbDrawsStatType");
  for (const std::string& text : source.Chooser->Items) cbDrawsStatType->addItem(Q(text));
  cbDrawsStatType->setMaxVisibleItems(25);
  cbDrawsStatType->setMinimumWidth(380);

  auto* validator = new TValueListValidator(this);
  edDrawsLen = new QLineEdit(this);
  edDrawsLen->setObjectName("edDrawsLen");
  edDrawsLen->setValidator(validator);
  edDrawsLen->setToolTip(Tr("Количество тиражей: число, список через \",\" или \";\", или диапазон с шагом (10-100;10)"));

  cbDrawsSortOrder = new QComboBox(this);
  cbDrawsSortOrder->setObjectName("cbDrawsSortOrder");
  for (const std::string& c : FilterSortCaptions()) cbDrawsSortOrder->addItem(Tr(c));
  cbDirection = new QComboBox(this);
  cbDirection->setObjectName("cbDirection");
  for (const char* c : kDirectionNames) cbDirection->addItem(Tr(c));
  cbFilterMode = new QComboBox(this);
  cbFilterMode->setObjectName("cbFilterMode");
  for (const char* c : kFilterModeNames) cbFilterMode->addItem(Tr(c));
  cbMultiSelect = new QCheckBox(Tr("Мультивыделение (выделить все подходящие строки и применить фильтр один раз)"), this);
  cbMultiSelect->setObjectName("cbMultiSelect");

  cbLevelMode = new QComboBox(this);
  cbLevelMode->setObjectName("cbLevelMode");
  for (int m = 0; m < kLevelModeCount; ++m) cbLevelMode->addItem(Tr(LevelModeName(m)));
  cbLevelMode->setMaxVisibleItems(kLevelModeCount);
  edLevelValue = new QLineEdit(this);
  edLevelValue->setObjectName("edLevelValue");
  edLevelValue->setValidator(validator);

  gbWeights = new QGroupBox(Tr("Весовые коэффициенты"), this);
  gbWeights->setObjectName("gbWeights");
  cbCDLOverride = new QCheckBox(Tr("Использовать собственные коэффициенты фильтра"), gbWeights);
  cbCDLOverride->setObjectName("cbCDLOverride");
  edCoefCount = CoefEdit("edCoefCount", gbWeights);
  edCoefDeviation = CoefEdit("edCoefDeviation", gbWeights);
  edCoefLevel = CoefEdit("edCoefLevel", gbWeights);
  cbCoefPercents = new QCheckBox(Tr("Использовать значения в %"), gbWeights);
  cbCoefPercents->setObjectName("cbCoefPercents");
  cbCoefAbs = new QCheckBox(Tr("Использовать абсолютные значения"), gbWeights);
  cbCoefAbs->setObjectName("cbCoefAbs");
  auto* wl = new QGridLayout(gbWeights);
  wl->addWidget(cbCDLOverride, 0, 0, 1, 6);
  wl->addWidget(new QLabel(Tr("Количество:"), gbWeights), 1, 0);
  wl->addWidget(edCoefCount, 1, 1);
  wl->addWidget(new QLabel(Tr("Отклонение:"), gbWeights), 1, 2);
  wl->addWidget(edCoefDeviation, 1, 3);
  wl->addWidget(new QLabel(Tr("Глубина:"), gbWeights), 1, 4);
  wl->addWidget(edCoefLevel, 1, 5);
  wl->addWidget(cbCoefPercents, 2, 0, 1, 3);
  wl->addWidget(cbCoefAbs, 2, 3, 1, 3);

  cbStopMode = new QComboBox(this);
  cbStopMode->setObjectName("cbStopMode");
  for (int m = 0; m < kStopModeCount; ++m) cbStopMode->addItem(Tr(StopModeName(m)));
  edStopValue = new QSpinBox(this);
  edStopValue->setObjectName("edStopValue");
  edStopValue->setRange(1, kMaxStopValue);

  auto* form = new QFormLayout;
  form->addRow(Tr("Статистика:"), cbDrawsStatType);
  form->addRow(Tr("Кол-во тиражей:"), edDrawsLen);
  form->addRow(Tr("Сортировка:"), cbDrawsSortOrder);
  form->addRow(Tr("Направление:"), cbDirection);
  form->addRow(Tr("Фильтр:"), cbFilterMode);
  form->addRow(QString(), cbMultiSelect);
  form->addRow(Tr("Выделение:"), cbLevelMode);
  form->addRow(Tr("Значения:"), edLevelValue);
  auto* stop = new QFormLayout;
  stop->addRow(Tr("Остановка по:"), cbStopMode);
  stop->addRow(Tr("Значение:"), edStopValue);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName("btnsFilter");
  buttons->button(QDialogButtonBox::Ok)->setObjectName("btnOK");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("btnCancel");
  buttons->button(QDialogButtonBox::Cancel)->setText(Tr("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &TFormFilter::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TFormFilter::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(gbWeights);
  layout->addLayout(stop);
  layout->addWidget(buttons);

  ShowFields();
  connect(cbLevelMode, &QComboBox::currentIndexChanged, this, [this] { UpdateEnabled(); });
  connect(cbCDLOverride, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
}

void TFormFilter::ShowFields() {
  const TFilterEditorFields& f = editor_.Fields;
  cbDrawsStatType->setCurrentIndex(editor_.StatItem());
  edDrawsLen->setText(Q(f.DrawsLen));
  cbDrawsSortOrder->setCurrentIndex(f.SortOrder);
  cbDirection->setCurrentIndex(f.Direction);
  cbFilterMode->setCurrentIndex(f.FilterMode);
  cbMultiSelect->setChecked(f.MultiSelect);
  cbLevelMode->setCurrentIndex(f.LevelMode);
  edLevelValue->setText(Q(f.LevelValue));
  cbCDLOverride->setChecked(f.CDLOverride);
  edCoefCount->setValue(f.CoefCount);
  edCoefDeviation->setValue(f.CoefDeviation);
  edCoefLevel->setValue(f.CoefLevel);
  cbCoefPercents->setChecked(f.CoefPercents);
  cbCoefAbs->setChecked(f.CoefAbs);
  cbStopMode->setCurrentIndex(f.StopMode);
  edStopValue->setValue(f.StopValue);
  UpdateEnabled();
}

void TFormFilter::ReadFields() {
  TFilterEditorFields& f = editor_.Fields;
  editor_.SetStatItem(cbDrawsStatType->currentIndex());
  f.DrawsLen = S(edDrawsLen->text());
  f.SortOrder = cbDrawsSortOrder->currentIndex();
  f.Direction = cbDirection->currentIndex();
  f.FilterMode = cbFilterMode->currentIndex();
  f.MultiSelect = cbMultiSelect->isChecked();
  f.LevelMode = cbLevelMode->currentIndex();
  f.LevelValue = S(edLevelValue->text());
  f.CDLOverride = cbCDLOverride->isChecked();
  f.CoefCount = edCoefCount->value();
  f.CoefDeviation = edCoefDeviation->value();
  f.CoefLevel = edCoefLevel->value();
  f.CoefPercents = cbCoefPercents->isChecked();
  f.CoefAbs = cbCoefAbs->isChecked();
  f.StopMode = cbStopMode->currentIndex();
  f.StopValue = edStopValue->value();
}

void TFormFilter::UpdateEnabled() {
  editor_.Fields.LevelMode = cbLevelMode->currentIndex();
  editor_.Fields.CDLOverride = cbCDLOverride->isChecked();
  cbCDLOverride->setEnabled(editor_.OverrideEnabled());
  const bool coefs = editor_.CoefsEnabled();
  for (QWidget* w : {static_cast<QWidget*>(edCoefCount), static_cast<QWidget*>(edCoefDeviation),
                     static_cast<QWidget*>(edCoefLevel), static_cast<QWidget*>(cbCoefPercents),
                     static_cast<QWidget*>(cbCoefAbs)})
    w->setEnabled(coefs);
}

void TFormFilter::accept() {
  ReadFields();
  const TFilterEditorCheck check = editor_.Check();
  if (!check.Ok()) {
    host_.ShowMessage(MsgKind::Error, check.Message);
    QWidget* focus = nullptr;
    switch (check.Field) {
      case TFilterEditorField::DrawsLen: focus = edDrawsLen; break;
      case TFilterEditorField::LevelMode: focus = cbLevelMode; break;
      case TFilterEditorField::LevelValue: focus = edLevelValue; break;
      case TFilterEditorField::StopMode: focus = cbStopMode; break;
      case TFilterEditorField::None: break;
    }
    if (focus) focus->setFocus();
    return;
  }
  result_ = editor_.Result();
  QDialog::accept();
}

bool EditFilterItem(QWidget* parent, IHost& host, const TFilterEditorSource& source, TFilterItem& item) {
  TFormFilter dlg(parent, host, source, item);
  if (dlg.exec() != QDialog::Accepted) return false;
  item = dlg.Item();
  return true;
}

}  // namespace quintar::gui
