// The generation dialog: the generation mode, the user's numbers or a list file name, and whether these
// become the generator's defaults.
#pragma once

#include <QDialog>

#include "combs/genparams.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace quintar::gui {

class TFormGenCombs : public QDialog {
  Q_OBJECT

 public:
  // Opens with the given (default) parameters; the save box starts unticked.
  TFormGenCombs(QWidget* parent, const TCombsGenParams& defaults);

  // What the dialog collected: the mode and the parameter text cut to 255 characters.
  TCombsGenParams Params() const;
  bool SaveAsDefaults() const;

  QComboBox* cbCombsGenerateMode;
  QLineEdit* edCombsGenerateParam;
  QPushButton* btnCombsGenerateFile;
  QCheckBox* cbSaveParameters;

 private:
  void ModeChanged();
};

}  // namespace quintar::gui
