// The proxy dialog "Параметры proxy-сервера": no proxy, automatic search, or a proxy given by hand with
// its server, port, user name and password (these four are enabled only for the manual choice).
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace quintar {
struct TProxy;
}

namespace quintar::gui {

class TFormProxy : public QDialog {
  Q_OBJECT

 public:
  TFormProxy(QWidget* parent, const TProxy& proxy);

  // 0 no proxy, 1 automatic, 2 manual.
  int Choice() const;
  std::string Server() const;
  int Port() const;
  std::string Username() const;
  std::string Password() const;

  QRadioButton* rbNoProxy;
  QRadioButton* rbAutoProxy;
  QRadioButton* rbManualProxy;
  QLineEdit* edServer;
  QSpinBox* edPort;
  QLineEdit* edUsername;
  QLineEdit* edPassword;

 private:
  void UpdateFields();
};

}  // namespace quintar::gui
