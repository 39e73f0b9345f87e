#include "app/formexportexcel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/guiutil.h"
#include "app/host.h"
#include "app/session.h"
#include "app/windowlayout.h"
#include "util/format.h"

namespace quintar::gui {

namespace {

constexpr const char* kFormClass = "TFormExportExcel";
constexpr const char* kParamsFilter = "Файлы параметров (*.ini)|*.ini|Все файлы (*.*)|*.*";

QComboBox* AlignCombo(QWidget* parent) {
  auto* cb = new QComboBox(parent);
  for (const auto& name : ExportAlignNames()) cb->addItem(Tr(name));
  return cb;
}

}  // namespace

TFormExportField::TFormExportField(QWidget* parent, IHost& host, TExcelExport& ex, int field)
    : QDialog(parent), host_(host), ex_(ex), field_(field) {
  setObjectName("TFormExportField");
  setWindowTitle(Tr("Свойства"));
  const TExportField& f = ex.Fields[static_cast<size_t>(field)];
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(Tr("Физическое поле:"), this), 0, 0);
  grid->addWidget(new QLabel(Q(f.PhysName), this), 0, 1);
  edCaption = new QLineEdit(Q(f.Caption), this);
  edCaption->setObjectName("edCaption");
  grid->addWidget(new QLabel(Tr("Наименование столбца:"), this), 1, 0);
  grid->addWidget(edCaption, 1, 1);
  cbAlign = AlignCombo(this);
  cbAlign->setObjectName("cbAlign");
  cbAlign->setCurrentIndex(f.Align);
  grid->addWidget(new QLabel(Tr("Выравнивание:"), this), 2, 0);
  grid->addWidget(cbAlign, 2, 1);
  edWidth = new QLineEdit(Q(f.Width), this);
  edWidth->setObjectName("edWidth");
  grid->addWidget(new QLabel(Tr("Ширина:"), this), 3, 0);
  grid->addWidget(edWidth, 3, 1);
  QDialogButtonBox* box = OkCancel(this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(box);
  setMinimumWidth(360);
}

void TFormExportField::accept() {
  // A caption with ";" would make its saved item unreadable: refused here, the dialog stays open.
  const std::string error = ex_.SetFieldProperties(field_, S(edCaption->text()), cbAlign->currentIndex(), S(edWidth->text()));
  if (!error.empty()) {
    host_.ShowMessage(MsgKind::Error, error);
    return;
  }
  QDialog::accept();
}

TFormExportExcel::TFormExportExcel(QWidget* parent, Session& s, TExcelExport& ex) : QDialog(parent), s_(s), ex_(ex) {
  setObjectName(kFormClass);
  setWindowTitle(Tr("Экспорт в Microsoft Excel"));

  lvFields = new QTableWidget(0, 4, this);
  lvFields->setObjectName("lvFields");
  lvFields->setHorizontalHeaderLabels(
      {Tr("Наименование столбца"), Tr("Выравнивание"), Tr("Ширина"), Tr("Физическое поле")});
  lvFields->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvFields->setSelectionMode(QAbstractItemView::SingleSelection);
  lvFields->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvFields->verticalHeader()->hide();
  lvFields->verticalHeader()->setDefaultSectionSize(lvFields->fontMetrics().height() + 6);
  lvFields->horizontalHeader()->setStretchLastSection(true);
  lvFields->setShowGrid(false);
  const int widths[] = {190, 115, 60, 130};
  for (int c = 0; c < 4; ++c) lvFields->setColumnWidth(c, widths[c]);
  RestoreListLayout(s_.Frm.Open(), kFormClass, lvFields, true);
  lvFields->setSelectionMode(QAbstractItemView::SingleSelection);  // one field moves at a time

  btnUp = new QPushButton(Tr("Вверх"), this);
  btnUp->setObjectName("btnUp");
  btnDown = new QPushButton(Tr("Вниз"), this);
  btnDown->setObjectName("btnDown");
  btnProps = new QPushButton(Tr("Свойства"), this);
  btnProps->setObjectName("btnProps");
  btnLoad = new QPushButton(Tr("Загрузить из файла"), this);
  btnLoad->setObjectName("btnLoad");
  btnSave = new QPushButton(Tr("Сохранить в файле"), this);
  btnSave->setObjectName("btnSave");
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {btnUp, btnDown, btnProps}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(btnLoad);
  buttons->addWidget(btnSave);
  auto* fieldsRow = new QHBoxLayout;
  fieldsRow->addWidget(lvFields, 1);
  fieldsRow->addLayout(buttons);
  auto* fieldsBox = new QGroupBox(Tr("Экспортируемые поля"), this);
  fieldsBox->setLayout(fieldsRow);

  edTitle = new QLineEdit(this);
  edTitle->setObjectName("edTitle");
  edNotes = new QLineEdit(this);
  edNotes->setObjectName("edNotes");
  cbShowCreateTime = new QCheckBox(Tr("Добавить строку с датой и временем формирования отчета (экспорта)."), this);
  cbShowCreateTime->setObjectName("cbShowCreateTime");
  edSheetName = new QLineEdit(this);
  edSheetName->setObjectName("edSheetName");
  edSheetName->setMaxLength(kExportSheetNameMax);
  cbOrientation = new QComboBox(this);
  cbOrientation->setObjectName("cbOrientation");
  for (const auto& name : ExportOrientationNames()) cbOrientation->addItem(Tr(name));
  edFontSize = new QSpinBox(this);
  edFontSize->setObjectName("edFontSize");
  edFontSize->setRange(1, 409);
  auto* report = new QGridLayout;
  report->addWidget(new QLabel(Tr("Заголовок:"), this), 0, 0);
  report->addWidget(edTitle, 0, 1, 1, 3);
  report->addWidget(new QLabel(Tr("Примечание:"), this), 1, 0);
  report->addWidget(edNotes, 1, 1, 1, 3);
  report->addWidget(cbShowCreateTime, 2, 0, 1, 4);
  report->addWidget(new QLabel(Tr("Имя листа:"), this), 3, 0);
  report->addWidget(edSheetName, 3, 1);
  report->addWidget(new QLabel(Tr("Размер шрифта:"), this), 3, 2);
  report->addWidget(edFontSize, 3, 3);
  report->addWidget(new QLabel(Tr("Ориентация страницы:"), this), 4, 0);
  report->addWidget(cbOrientation, 4, 1);
  auto* reportBox = new QGroupBox(Tr("Отчет"), this);
  reportBox->setLayout(report);

  rbSendAll = new QRadioButton(Tr("Экспортировать все отображенные записи"), this);
  rbSendAll->setObjectName("rbSendAll");
  rbSendSelected = new QRadioButton(Tr("Экспортировать выделенные записи"), this);
  rbSendSelected->setObjectName("rbSendSelected");
  lblRowsCount = new QLabel(this);
  lblRowsCount->setObjectName("lblRowsCount");
  lblSelectedCount = new QLabel(this);
  lblSelectedCount->setObjectName("lblSelectedCount");
  auto* send = new QGridLayout;
  send->addWidget(rbSendAll, 0, 0);
  send->addWidget(lblRowsCount, 0, 1);
  send->addWidget(rbSendSelected, 1, 0);
  send->addWidget(lblSelectedCount, 1, 1);
  send->setColumnStretch(0, 1);
  auto* sendBox = new QGroupBox(Tr("Записи"), this);
  sendBox->setLayout(send);

  cbSaveParams = new QCheckBox(Tr("Сохранить параметры экспорта в файле конфигурации"), this);
  cbSaveParams->setObjectName("cbSaveParams");
  // Without keep-parameters there is nothing to save or load.
  cbSaveParams->setVisible(ex_.KeepParameters);
  btnLoad->setVisible(ex_.KeepParameters);
  btnSave->setVisible(ex_.KeepParameters);

  QDialogButtonBox* box = OkCancel(this);
  box->button(QDialogButtonBox::Ok)->setText(Tr("Экспорт"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fieldsBox, 1);
  layout->addWidget(reportBox);
  layout->addWidget(sendBox);
  layout->addWidget(cbSaveParams);
  layout->addWidget(box);

  connect(btnUp, &QPushButton::clicked, this, [this] { MoveCurrent(-1); });
  connect(btnDown, &QPushButton::clicked, this, [this] { MoveCurrent(1); });
  connect(btnProps, &QPushButton::clicked, this, [this] { EditCurrent(); });
  connect(lvFields, &QTableWidget::cellDoubleClicked, this, [this] { EditCurrent(); });
  connect(btnLoad, &QPushButton::clicked, this, [this] { LoadFromFile(); });
  connect(btnSave, &QPushButton::clicked, this, [this] { SaveToFile(); });
  connect(lvFields, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (filling_ || item->column() != 0) return;
    ex_.Fields[static_cast<size_t>(item->row())].Exported = item->checkState() == Qt::Checked;
  });

  ShowSettings();
  ShowFields(0);
  resize(680, 620);
  lvFields->setFocus();
}

TFormExportExcel::~TFormExportExcel() {
  try {
    IniFile ini = s_.Frm.Open();
    SaveListLayout(ini, kFormClass, lvFields, true);
    s_.Frm.Store(ini);
  } catch (const std::exception&) {
    // The dialog's column widths are a convenience: a settings file that cannot be written loses them.
  }
}

void TFormExportExcel::ShowSettings() {
  edTitle->setText(Q(ex_.Title));
  edNotes->setText(Q(ex_.Notes));
  cbShowCreateTime->setChecked(ex_.ShowCreateTime);
  edSheetName->setText(Q(ex_.SheetName));
  cbOrientation->setCurrentIndex(ex_.Orientation);
  edFontSize->setValue(ex_.BaseFontSize);
  lblRowsCount->setText(Q(Format("(%d)", {ex_.RowsCount})));
  lblSelectedCount->setText(Q(Format("(%d)", {ex_.SelectedCount})));
  rbSendSelected->setEnabled(ex_.SelectedCount > 0);
  (ex_.SendSelected && ex_.SelectedCount > 0 ? rbSendSelected : rbSendAll)->setChecked(true);
  cbSaveParams->setChecked(ex_.SaveParameters);
}

void TFormExportExcel::ShowFields(int current) {
  filling_ = true;
  const auto aligns = ExportAlignNames();
  lvFields->setRowCount(static_cast<int>(ex_.Fields.size()));
  for (int r = 0; r < static_cast<int>(ex_.Fields.size()); ++r) {
    const TExportField& f = ex_.Fields[static_cast<size_t>(r)];
    auto* caption = new QTableWidgetItem(Q(f.Caption));
    caption->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    caption->setCheckState(f.Exported ? Qt::Checked : Qt::Unchecked);
    lvFields->setItem(r, 0, caption);
    lvFields->setItem(r, 1, new QTableWidgetItem(Tr(aligns[static_cast<size_t>(std::clamp(f.Align, 0, 2))])));
    lvFields->setItem(r, 2, new QTableWidgetItem(Q(f.Width)));
    lvFields->setItem(r, 3, new QTableWidgetItem(Q(f.PhysName)));
  }
  filling_ = false;
  if (!ex_.Fields.empty()) lvFields->setCurrentCell(std::clamp(current, 0, static_cast<int>(ex_.Fields.size()) - 1), 0);
}

void TFormExportExcel::TakeSettings() {
  ex_.Title = S(edTitle->text());
  ex_.Notes = S(edNotes->text());
  ex_.ShowCreateTime = cbShowCreateTime->isChecked();
  ex_.SheetName = S(edSheetName->text());
  ex_.Orientation = cbOrientation->currentIndex();
  ex_.BaseFontSize = edFontSize->value();
  ex_.SendSelected = rbSendSelected->isChecked();
  ex_.SaveParameters = cbSaveParams->isChecked();
}

void TFormExportExcel::MoveCurrent(int delta) {
  const int r = lvFields->currentRow();
  if (ex_.MoveField(r, delta)) ShowFields(r + delta);
}

void TFormExportExcel::EditCurrent() {
  const int r = lvFields->currentRow();
  if (r < 0 || r >= static_cast<int>(ex_.Fields.size())) return;
  TFormExportField dlg(this, s_.Host(), ex_, r);
  if (dlg.exec() == QDialog::Accepted) ShowFields(r);
}

void TFormExportExcel::LoadFromFile() {
  const QString file = ChooseOpenFile(this, kParamsFilter, "ini");
  if (file.isEmpty()) return;
  TakeSettings();
  try {
    IniFile ini(S(file));
    if (ex_.LoadParameters(ini)) ini.UpdateFile();
  } catch (const std::exception& e) {
    s_.ShowError(Format(kExportLoadParamsError, {S(file)}) + "\r\r" + e.what());
  }
  ex_.CheckedFirst();
  ShowSettings();
  ShowFields(0);
}

void TFormExportExcel::SaveToFile() {
  const QString file = ChooseSaveFile(this, kParamsFilter, "ini");
  if (file.isEmpty()) return;
  TakeSettings();
  try {
    IniFile ini(S(file));
    ex_.StoreParameters(ini);
    ini.UpdateFile();
  } catch (const std::exception& e) {
    s_.ShowError(Format(kExportSaveParamsError, {S(file)}) + "\r\r" + e.what());
  }
}

void TFormExportExcel::accept() {
  TakeSettings();
  if (std::none_of(ex_.Fields.begin(), ex_.Fields.end(), [](const TExportField& f) { return f.Exported; })) {
    s_.Host().ShowMessage(MsgKind::Warning, "Не выбрано ни одного поля для экспорта!");
    return;
  }
  QDialog::accept();
}

}  // namespace quintar::gui
