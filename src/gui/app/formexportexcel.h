// The export-parameters dialog of the spreadsheet export: the fields with their check marks, order,
// captions, alignments and widths, the title block, the sheet, the send mode and the save check box, on
// the core's export model; and "Свойства" of one field.
#pragma once

#include <QDialog>

#include "app/excelexport.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace quintar {
class IHost;
class Session;
}  // namespace quintar

namespace quintar::gui {

class TFormExportField : public QDialog {
  Q_OBJECT

 public:
  TFormExportField(QWidget* parent, IHost& host, TExcelExport& ex, int field);
  void accept() override;

  QLineEdit* edCaption;
  QComboBox* cbAlign;
  QLineEdit* edWidth;

 private:
  IHost& host_;
  TExcelExport& ex_;
  int field_;
};

class TFormExportExcel : public QDialog {
  Q_OBJECT

 public:
  TFormExportExcel(QWidget* parent, Session& s, TExcelExport& ex);
  ~TFormExportExcel() override;
  void accept() override;

  QTableWidget* lvFields;
  QPushButton *btnUp, *btnDown, *btnProps, *btnLoad, *btnSave;
  QLineEdit *edTitle, *edNotes, *edSheetName;
  QCheckBox* cbShowCreateTime;
  QComboBox* cbOrientation;
  QSpinBox* edFontSize;
  QRadioButton *rbSendAll, *rbSendSelected;
  QLabel *lblRowsCount, *lblSelectedCount;
  QCheckBox* cbSaveParams;

 private:
  void ShowFields(int current);
  void ShowSettings();
  // The dialog's controls into the model (the check marks of the list included).
  void TakeSettings();
  void MoveCurrent(int delta);
  void EditCurrent();
  void LoadFromFile();
  void SaveToFile();

  Session& s_;
  TExcelExport& ex_;
  bool filling_ = false;
};

}  // namespace quintar::gui
