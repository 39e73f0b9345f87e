#include "scripts/formscriptline.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <climits>

#include "app/guiutil.h"

namespace quintar::gui {

TFormScriptLine::TFormScriptLine(QWidget* parent, const QString& caption, int32_t defaultDraws,
                                 const std::string& line, TFilterFieldEditor editFilter)
    : QDialog(parent), editFilter_(std::move(editFilter)) {
  setObjectName("TFormScriptLine");
  setWindowTitle(Tr(kScriptEditorCaption));
  setModal(true);

  cbStartCombs = new QComboBox(this);
  cbStartCombs->setObjectName("cbStartCombs");
  for (int t = 0; t < kStartCombsCount; ++t) cbStartCombs->addItem(Tr(StartCombsTypeName(t, true)));
  edDrawsCount = new QSpinBox(this);
  edDrawsCount->setObjectName("edDrawsCount");
  edDrawsCount->setRange(0, INT_MAX);
  cbResultCombs = new QComboBox(this);
  cbResultCombs->setObjectName("cbResultCombs");
  for (int m = 0; m < kResultCombsCount; ++m) cbResultCombs->addItem(Tr(ResultCombsModeName(m, true)));
  cbClearStakes = new QCheckBox(Tr("Удалить все ставки перед выполнением (накопление только рейтинга)"), this);
  cbClearStakes->setObjectName("cbClearStakes");
  cbNewOnly = new QCheckBox(Tr("Только новые ставки (пропускать те ставки, которые уже есть в списке)"), this);
  cbNewOnly->setObjectName("cbNewOnly");

  auto* options = new QGridLayout;
  options->addWidget(new QLabel(Tr("Список комбинаций:"), this), 0, 0);
  options->addWidget(cbStartCombs, 0, 1);
  auto* drawsLabel = new QLabel(Tr("Кол-во тиражей:"), this);
  drawsLabel->setBuddy(edDrawsCount);
  options->addWidget(drawsLabel, 0, 2);
  options->addWidget(edDrawsCount, 0, 3);
  options->addWidget(new QLabel(Tr("Результат:"), this), 1, 0);
  options->addWidget(cbResultCombs, 1, 1, 1, 3);
  options->addWidget(cbClearStakes, 2, 0, 1, 4);
  options->addWidget(cbNewOnly, 3, 0, 1, 4);
  options->setColumnStretch(1, 1);

  auto* filters = new QGridLayout;
  for (int i = 0; i < kStepFilters; ++i) {
    auto* label = new QLabel(Tr(std::string("Фильтр ") + std::to_string(i + 1) + ":"), this);
    QLineEdit* ed = new QLineEdit(this);
    ed->setObjectName(QString("edFilter%1").arg(i + 1));
    ed->setMinimumWidth(560);
    ed->installEventFilter(this);
    label->setBuddy(ed);
    auto* btn = new QToolButton(this);
    btn->setObjectName(QString("btnFilter%1").arg(i + 1));
    btn->setText("...");
    btn->setToolTip(Tr("Редактировать фильтр"));
    btn->setStatusTip(Tr("Редактировать фильтр"));
    connect(btn, &QToolButton::clicked, this, [this, i] { EditFilter(i); });
    filters->addWidget(label, i, 0);
    filters->addWidget(ed, i, 1);
    filters->addWidget(btn, i, 2);
    edFilters[static_cast<size_t>(i)] = ed;
    btnFilters[static_cast<size_t>(i)] = btn;
  }
  edComment = new QLineEdit(this);
  edComment->setObjectName("edComment");
  edComment->setToolTip(Tr("Комментарии (можно оставить пустым)"));
  edComment->setStatusTip(Tr("Комментарии (можно оставить пустым)"));
  auto* commentLabel = new QLabel(Tr("Комментарии:"), this);
  commentLabel->setBuddy(edComment);
  filters->addWidget(commentLabel, kStepFilters, 0);
  filters->addWidget(edComment, kStepFilters, 1, 1, 2);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("btnOK");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("btnCancel");
  buttons->button(QDialogButtonBox::Cancel)->setText(Tr("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &TFormScriptLine::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TFormScriptLine::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(options);
  layout->addSpacing(6);
  layout->addLayout(filters);
  layout->addWidget(buttons);

  // The caption names what the dialog is for: a new line or an edit.
  setWindowTitle(caption);
  const TScriptEditorFields f = ScriptEditorFields(line, defaultDraws);
  cbStartCombs->setCurrentIndex(f.StartCombsType);
  edDrawsCount->setValue(f.DrawsCount);
  cbResultCombs->setCurrentIndex(f.ResultCombsMode);
  cbClearStakes->setChecked(f.ClearStakes);
  cbNewOnly->setChecked(f.NewOnly);
  for (int i = 0; i < kStepFilters; ++i) edFilters[static_cast<size_t>(i)]->setText(Q(f.Filters[static_cast<size_t>(i)]));
  edComment->setText(Q(f.Comment));
}

void TFormScriptLine::EditFilter(int i) {
  if (i < 0 || i >= kStepFilters || !editFilter_) return;
  QLineEdit* ed = edFilters[static_cast<size_t>(i)];
  std::string text = S(ed->text());
  if (editFilter_(text)) ed->setText(Q(text));
  ed->setFocus();
}

bool TFormScriptLine::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    for (int i = 0; i < kStepFilters; ++i)
      if (watched == edFilters[static_cast<size_t>(i)]) {
        EditFilter(i);
        return true;
      }
  }
  return QDialog::eventFilter(watched, event);
}

void TFormScriptLine::accept() {
  TScriptEditorFields f;
  f.StartCombsType = cbStartCombs->currentIndex();
  f.DrawsCount = edDrawsCount->value();
  f.ResultCombsMode = cbResultCombs->currentIndex();
  f.ClearStakes = cbClearStakes->isChecked();
  f.NewOnly = cbNewOnly->isChecked();
  for (int i = 0; i < kStepFilters; ++i) f.Filters[static_cast<size_t>(i)] = S(edFilters[static_cast<size_t>(i)]->text());
  f.Comment = S(edComment->text());
  line_ = ScriptEditorLine(f);
  QDialog::accept();
}

}  // namespace quintar::gui
