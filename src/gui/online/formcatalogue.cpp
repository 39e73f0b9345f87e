#include "online/formcatalogue.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/guiutil.h"

namespace quintar::gui {

TFormCatalogue::TFormCatalogue(QWidget* parent, const TCatalogueSettings& settings)
    : QDialog(parent), settings_(settings) {
  setObjectName("TFormCatalogue");
  setWindowTitle(Tr("Параметры online-каталогов"));
  setModal(true);

  edCatalogueUrl = new QLineEdit(Q(settings.Url), this);
  edCatalogueUrl->setObjectName("edCatalogueUrl");
  edCatalogueUrl->setToolTip(Tr("Адрес online-каталога сценариев и систем, например https://catalogue.example.org"));
  edCatalogueUrl->setMinimumWidth(360);
  edUserName = new QLineEdit(Q(settings.UserName), this);
  edUserName->setObjectName("edUserName");
  edUserName->setMaxLength(64);
  edUserName->setToolTip(Tr("Имя автора по умолчанию"));
  edUserMail = new QLineEdit(Q(settings.UserMail), this);
  edUserMail->setObjectName("edUserMail");
  edUserMail->setToolTip(Tr("По адресу e-mail вместе с компьютером сервер узнает Ваши сценарии и системы"));
  cbTlsVerify = new QCheckBox(Tr("Проверять сертификат сервера"), this);
  cbTlsVerify->setObjectName("cbTlsVerify");
  cbTlsVerify->setChecked(settings.TlsVerify);
  cbTlsVerify->setToolTip(Tr("Отключайте проверку только для собственного сервера в своей сети"));
  edCaFile = new QLineEdit(Q(settings.CaFile), this);
  edCaFile->setObjectName("edCaFile");
  edCaFile->setToolTip(Tr("PEM-файл дополнительных доверенных сертификатов (необязательно)"));
  btnCaFile = new QPushButton(Tr("..."), this);
  btnCaFile->setObjectName("btnCaFile");
  btnCaFile->setAutoDefault(false);
  connect(btnCaFile, &QPushButton::clicked, this, [this] {
    const QString file = ChooseOpenFile(this, "Сертификаты (*.pem *.crt)|*.pem;*.crt|Все файлы (*.*)|*.*");
    if (!file.isEmpty()) edCaFile->setText(file);
  });

  auto* ca = new QHBoxLayout;
  ca->addWidget(edCaFile, 1);
  ca->addWidget(btnCaFile);
  auto* form = new QFormLayout;
  form->addRow(Tr("Адрес:"), edCatalogueUrl);
  form->addRow(Tr("Имя:"), edUserName);
  form->addRow(Tr("E-mail:"), edUserMail);
  form->addRow(QString(), cbTlsVerify);
  form->addRow(Tr("Файл сертификатов:"), ca);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("btnOK");
  buttons->button(QDialogButtonBox::Ok)->setText(Tr("ОК"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("btnCancel");
  buttons->button(QDialogButtonBox::Cancel)->setText(Tr("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  adjustSize();
}

TCatalogueSettings TFormCatalogue::Result() const {
  TCatalogueSettings s = settings_;
  s.Url = S(edCatalogueUrl->text()).empty() ? "" : S(edCatalogueUrl->text().trimmed());
  s.UserName = S(edUserName->text().trimmed());
  s.UserMail = S(edUserMail->text().trimmed());
  s.TlsVerify = cbTlsVerify->isChecked();
  s.CaFile = S(edCaFile->text().trimmed());
  return s;
}

}  // namespace quintar::gui
