#include "app/formnewversion.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/guiutil.h"
#include "app/selfupdate.h"
#include "util/strutil.h"

namespace quintar::gui {

TFormNewVersion::TFormNewVersion(QWidget* parent, const TUpdateCheck& found, bool canInstall) : QDialog(parent) {
  setObjectName("TFormNewVersion");
  setWindowTitle(Tr(kNewVersionCaption));
  auto* layout = new QVBoxLayout(this);

  auto* versions = new QFormLayout;
  lblCurrentVersion = new QLabel(Q(found.CurrentVersion), this);
  lblCurrentVersion->setObjectName("lblCurrentVersion");
  lblNewVersion = new QLabel(Q(found.Record.VerId), this);
  lblNewVersion->setObjectName("lblNewVersion");
  QFont bold = lblNewVersion->font();
  bold.setBold(true);
  lblNewVersion->setFont(bold);
  versions->addRow(Tr("Текущая версия:"), lblCurrentVersion);
  versions->addRow(Tr("Новая версия:"), lblNewVersion);
  layout->addLayout(versions);

  lblDescription = new QLabel(Q(found.Record.Description), this);
  lblDescription->setObjectName("lblDescription");
  lblDescription->setWordWrap(true);
  lblDescription->setVisible(!found.Record.Description.empty());
  layout->addWidget(lblDescription);

  edDescription = new QPlainTextEdit(this);
  edDescription->setObjectName("edDescription");
  edDescription->setReadOnly(true);
  edDescription->setPlainText(Q(Join(found.DescriptionLines(), "\n")));
  edDescription->setMinimumSize(460, 200);
  layout->addWidget(edDescription, 1);

  auto* buttons = new QDialogButtonBox(this);
  if (canInstall) {
    btnInstall = buttons->addButton(Tr("Установить"), QDialogButtonBox::AcceptRole);
    btnInstall->setObjectName("btnInstall");
    btnInstall->setDefault(true);
    btnCancel = buttons->addButton(Tr("Отмена"), QDialogButtonBox::RejectRole);
    btnCancel->setObjectName("btnCancel");
  } else {
    lblDistribution = new QLabel(Tr(kDistributionInstalls), this);
    lblDistribution->setObjectName("lblDistribution");
    lblDistribution->setWordWrap(true);
    layout->addWidget(lblDistribution);
    btnClose = buttons->addButton(Tr("Закрыть"), QDialogButtonBox::RejectRole);
    btnClose->setObjectName("btnClose");
    btnClose->setDefault(true);
  }
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

}  // namespace quintar::gui
