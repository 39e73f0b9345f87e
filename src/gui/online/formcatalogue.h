// The settings of the online catalogues ("Параметры online-каталогов"): the service's address, the user's
// name and e-mail (without an e-mail nothing in the catalogues is the user's own), whether an https://
// service's certificate is verified, and a file of further trusted certificates.
#pragma once

#include <QDialog>

#include "online/catalogueclient.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace quintar::gui {

class TFormCatalogue : public QDialog {
  Q_OBJECT

 public:
  TFormCatalogue(QWidget* parent, const TCatalogueSettings& settings);
  // The settings with the dialog's values (the machine id kept).
  TCatalogueSettings Result() const;

  QLineEdit* edCatalogueUrl;
  QLineEdit* edUserName;
  QLineEdit* edUserMail;
  QCheckBox* cbTlsVerify;
  QLineEdit* edCaFile;
  QPushButton* btnCaFile;

 private:
  TCatalogueSettings settings_;
};

}  // namespace quintar::gui
