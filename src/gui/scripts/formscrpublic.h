// The dialogs of the online script catalogue: the script's properties (TFormScrPublic, "Свойства сценария"),
// editable when publishing or replacing and read-only for viewing, and the users' ratings of a script
// (TFormScrRates, "Оценки пользователей").
#pragma once

#include <QDialog>
#include <vector>

#include "scripts/scriptlibrary.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace quintar {
class FormSettings;
}

namespace quintar::gui {

class TFormScrPublic : public QDialog {
  Q_OBJECT

 public:
  // languages: the interface languages offered (identifiers, the base language among them). The OK checks
  // go through library (messages, the title check request).
  TFormScrPublic(QWidget* parent, TScriptLibrary& library, const tScriptData& data, const std::vector<int>& languages,
                 bool readOnly);
  void accept() override;
  const tScriptData& Result() const { return result_; }

  QLineEdit* edClName;
  QComboBox* cbClLcid;
  QLineEdit* edTitle;
  QPlainTextEdit* edDescr;
  QRadioButton* rbViewAll;   // rgViewMode: public
  QRadioButton* rbViewMine;
  QRadioButton* rbAppOnly;   // rgAppMode: this application only
  QRadioButton* rbAppAny;
  QPushButton* btnOK;
  QPushButton* btnCancel;

 private:
  tScriptData Collect() const;
  TScriptLibrary& library_;
  tScriptData data_;
  tScriptData result_;
};

class TFormScrRates : public QDialog {
  Q_OBJECT

 public:
  // The list keeps its column widths in the window-settings file, section "TFormScrRates".
  TFormScrRates(QWidget* parent, FormSettings& settings, const std::vector<TScriptRate>& rates);
  ~TFormScrRates() override;

  QTreeWidget* lvRates;

 private:
  FormSettings& settings_;
};

}  // namespace quintar::gui
