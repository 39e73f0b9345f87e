#include "scripts/formscrpublic.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/formsettings.h"
#include "app/guiutil.h"
#include "app/language.h"
#include "app/languages.h"
#include "app/windowlayout.h"
#include "util/format.h"

namespace quintar::gui {

namespace {

QGroupBox* Choice(QWidget* parent, const char* name, const char* caption, const char* hint, QRadioButton* a,
                  QRadioButton* b) {
  auto* box = new QGroupBox(Tr(caption), parent);
  box->setObjectName(name);
  box->setToolTip(Tr(hint));
  auto* l = new QVBoxLayout(box);
  l->addWidget(a);
  l->addWidget(b);
  return box;
}

}  // namespace

TFormScrPublic::TFormScrPublic(QWidget* parent, TScriptLibrary& library, const tScriptData& data,
                               const std::vector<int>& languages, bool readOnly)
    : QDialog(parent), library_(library), data_(data), result_(data) {
  setObjectName("TFormScrPublic");
  setWindowTitle(Tr(kScrPublicCaption));
  setModal(true);

  edClName = new QLineEdit(Q(data.AuthorName), this);
  edClName->setObjectName("edClName");
  edClName->setMaxLength(64);
  edClName->setToolTip(Tr("Автор сценария"));
  cbClLcid = new QComboBox(this);
  cbClLcid->setObjectName("cbClLcid");
  for (int lcid : languages) cbClLcid->addItem(TLanguages::LanguageName(lcid), lcid);
  int entry = cbClLcid->findData(data.Lcid);
  if (entry < 0) entry = cbClLcid->findData(kBaseLanguage);
  cbClLcid->setCurrentIndex(entry);
  edTitle = new QLineEdit(Q(data.Title), this);
  edTitle->setObjectName("edTitle");
  edTitle->setMaxLength(64);
  edTitle->setToolTip(Tr("Название сценария"));
  edTitle->setMinimumWidth(360);
  edDescr = new QPlainTextEdit(Q(data.Descr), this);
  edDescr->setObjectName("edDescr");
  edDescr->setMinimumHeight(100);

  rbViewAll = new QRadioButton(Tr(kScrPublicEveryone), this);
  rbViewAll->setObjectName("rbViewAll");
  rbViewMine = new QRadioButton(Tr(kScrPublicOnlyMe), this);
  rbViewMine->setObjectName("rbViewMine");
  rbAppOnly = new QRadioButton(Q(Format(S(Tr(kScrPublicOnlyApp)), {kCatalogueAppName})), this);
  rbAppOnly->setObjectName("rbAppOnly");
  rbAppAny = new QRadioButton(Tr(kScrPublicAnyApp), this);
  rbAppAny->setObjectName("rbAppAny");

  auto* form = new QFormLayout;
  form->addRow(Tr("Автор:"), edClName);
  form->addRow(Tr("Язык:"), cbClLcid);
  form->addRow(Tr("Название:"), edTitle);
  form->addRow(Tr("Описание:"), edDescr);
  auto* choices = new QHBoxLayout;
  choices->addWidget(Choice(this, "rgViewMode", " Доступность ",
                            "Разрешаете ли Вы использовать данный сценарий другим членам сообщества", rbViewAll,
                            rbViewMine));
  choices->addWidget(Choice(this, "rgAppMode", " Применяемость ",
                            "В каком приложении можно использовать данный сценарий", rbAppOnly, rbAppAny));
  // Each pair is exclusive within its own box, so the choices are made once the boxes hold them.
  (data.Public ? rbViewAll : rbViewMine)->setChecked(true);
  (data.Universal ? rbAppAny : rbAppOnly)->setChecked(true);

  auto* buttons = new QDialogButtonBox(this);
  btnOK = buttons->addButton(Tr("ОК"), QDialogButtonBox::AcceptRole);
  btnOK->setObjectName("btnOK");
  btnOK->setToolTip(Tr("Отправить сценарий на сервер"));
  btnCancel = buttons->addButton(Tr("Отмена"), QDialogButtonBox::RejectRole);
  btnCancel->setObjectName("btnCancel");
  btnCancel->setToolTip(Tr("Закрыть окно"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(choices);
  layout->addWidget(buttons);

  if (readOnly) {
    edClName->setReadOnly(true);
    edTitle->setReadOnly(true);
    edDescr->setReadOnly(true);
    for (QWidget* w : std::initializer_list<QWidget*>{cbClLcid, rbViewAll, rbViewMine, rbAppOnly, rbAppAny})
      w->setEnabled(false);
    btnOK->hide();
    btnCancel->setDefault(true);
    btnCancel->setFocus();
  } else {
    btnOK->setDefault(true);
    edTitle->setFocus();
  }
  adjustSize();
}

tScriptData TFormScrPublic::Collect() const {
  tScriptData d;
  d.Id = data_.Id;
  d.AuthorName = S(edClName->text());
  d.Title = S(edTitle->text());
  d.Descr = S(edDescr->toPlainText());
  d.Lcid = cbClLcid->currentIndex() >= 0 ? cbClLcid->currentData().toInt() : kBaseLanguage;
  d.Universal = rbAppAny->isChecked();
  d.Public = rbViewAll->isChecked();
  return d;
}

void TFormScrPublic::accept() {
  tScriptData d = Collect();
  switch (library_.CheckProperties(d)) {
    case TScriptField::Title:
      edTitle->setFocus();
      return;
    case TScriptField::Author:
      edClName->setFocus();
      return;
    case TScriptField::None:
      break;
  }
  result_ = d;
  QDialog::accept();
}

TFormScrRates::TFormScrRates(QWidget* parent, FormSettings& settings, const std::vector<TScriptRate>& rates)
    : QDialog(parent), settings_(settings) {
  setObjectName("TFormScrRates");
  setWindowTitle(Tr(kScrRatesCaption));
  setModal(true);
  lvRates = new QTreeWidget(this);
  lvRates->setObjectName("lvRates");
  lvRates->setRootIsDecorated(false);
  lvRates->setUniformRowHeights(true);
  QStringList captions;
  for (const std::string& c : ScriptRatesCaptions()) captions << Tr(c);
  lvRates->setHeaderLabels(captions);
  for (const TScriptRate& r : rates) {
    QStringList cells;
    for (const std::string& c : ScriptRateCells(r)) cells << Q(c);
    auto* item = new QTreeWidgetItem(cells);
    item->setTextAlignment(1, Qt::AlignCenter);
    lvRates->addTopLevelItem(item);
  }
  const int widths[] = {140, 60, 130, 110, 70, 300};
  for (int i = 0; i < static_cast<int>(std::size(widths)); ++i) lvRates->header()->resizeSection(i, widths[i]);
  RestoreListLayout(settings_.Open(), "TFormScrRates", lvRates, true);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* close = buttons->addButton(Tr("Закрыть"), QDialogButtonBox::RejectRole);
  close->setObjectName("btnClose");
  close->setDefault(true);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lvRates, 1);
  layout->addWidget(buttons);
  resize(860, 360);
}

TFormScrRates::~TFormScrRates() {
  try {
    IniFile ini = settings_.Open();
    SaveListLayout(ini, "TFormScrRates", lvRates, true);
    settings_.Store(ini);
  } catch (const std::exception&) {
    // The layout is a convenience; a window-settings file that cannot be written loses nothing else.
  }
}

}  // namespace quintar::gui
