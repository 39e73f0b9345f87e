#include "online/formproxy.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/guiutil.h"
#include "online/download.h"

namespace quintar::gui {

TFormProxy::TFormProxy(QWidget* parent, const TProxy& proxy) : QDialog(parent) {
  setObjectName("TFormProxy");
  setWindowTitle(Tr(kProxyDialogCaption));
  setModal(true);

  rbNoProxy = new QRadioButton(Tr(kProxyChoiceTexts[0]), this);
  rbNoProxy->setObjectName("rbNoProxy");
  rbAutoProxy = new QRadioButton(Tr(kProxyChoiceTexts[1]), this);
  rbAutoProxy->setObjectName("rbAutoProxy");
  rbManualProxy = new QRadioButton(Tr(kProxyChoiceTexts[2]), this);
  rbManualProxy->setObjectName("rbManualProxy");
  auto* group = new QButtonGroup(this);
  group->addButton(rbNoProxy, 0);
  group->addButton(rbAutoProxy, 1);
  group->addButton(rbManualProxy, 2);

  edServer = new QLineEdit(this);
  edServer->setObjectName("edServer");
  edServer->setMinimumWidth(220);
  edPort = new QSpinBox(this);
  edPort->setObjectName("edPort");
  edPort->setRange(1, 65535);
  edUsername = new QLineEdit(this);
  edUsername->setObjectName("edUsername");
  edUsername->setToolTip(Tr(kProxyUsernameHint));
  edPassword = new QLineEdit(this);
  edPassword->setObjectName("edPassword");
  edPassword->setEchoMode(QLineEdit::Password);
  edPassword->setToolTip(Tr(kProxyPasswordHint));

  auto* fields = new QFormLayout;
  fields->setContentsMargins(24, 0, 0, 0);
  fields->addRow(Tr(kProxyServerLabel), edServer);
  fields->addRow(Tr(kProxyPortLabel), edPort);
  fields->addRow(Tr(kProxyUsernameLabel), edUsername);
  fields->addRow(Tr(kProxyPasswordLabel), edPassword);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("btnOK");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("btnCancel");
  buttons->button(QDialogButtonBox::Cancel)->setText(Tr("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(rbNoProxy);
  layout->addWidget(rbAutoProxy);
  layout->addWidget(rbManualProxy);
  layout->addLayout(fields);
  layout->addStretch(1);
  layout->addWidget(buttons);

  edServer->setText(Q(proxy.Server));
  edPort->setValue(proxy.Port >= 1 && proxy.Port <= 65535 ? proxy.Port : 80);
  edUsername->setText(Q(proxy.Username));
  edPassword->setText(Q(proxy.Password));
  group->button(ProxyDialogChoice(proxy.Mode))->setChecked(true);
  connect(group, &QButtonGroup::idToggled, this, [this](int, bool) { UpdateFields(); });
  UpdateFields();
  adjustSize();
}

int TFormProxy::Choice() const { return rbAutoProxy->isChecked() ? 1 : rbManualProxy->isChecked() ? 2 : 0; }
std::string TFormProxy::Server() const { return S(edServer->text()); }
int TFormProxy::Port() const { return edPort->value(); }
std::string TFormProxy::Username() const { return S(edUsername->text()); }
std::string TFormProxy::Password() const { return S(edPassword->text()); }

void TFormProxy::UpdateFields() {
  const bool on = ProxyFieldsEnabled(Choice());
  for (QWidget* w : {static_cast<QWidget*>(edServer), static_cast<QWidget*>(edPort),
                     static_cast<QWidget*>(edUsername), static_cast<QWidget*>(edPassword)})
    w->setEnabled(on);
}

}  // namespace quintar::gui
