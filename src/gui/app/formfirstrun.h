// The first-run dialog: where to read about the program, with a box to stop showing it.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QCheckBox;
class QPushButton;

namespace quintar::gui {

class TFormFirstRun : public QDialog {
  Q_OBJECT

 public:
  // openHelp opens the help file (its button is enabled only when the file exists); openLink opens one
  // of the maker's pages (a button whose page is not known stays disabled).
  TFormFirstRun(QWidget* parent, bool helpFileExists, std::function<void()> openHelp,
                std::function<void(const std::string&)> openLink);

  QCheckBox* cbDisable;
  QPushButton* btnOpenHelpFile;
};

}  // namespace quintar::gui
