// The system dialog TFormSystem ("Система"): a system's properties and its list of combinations, editable
// for one's own systems (the list normalised when the focus leaves it) and read-only otherwise.
#pragma once

#include <QDialog>

#include "online/systemscatalogue.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quintar {
class IHost;
}

namespace quintar::gui {

class TFormSystem : public QDialog {
  Q_OBJECT

 public:
  TFormSystem(QWidget* parent, IHost& host, const tSystemData& data, bool editable);
  void accept() override;
  // The record on OK.
  const tSystemData& Result() const { return result_; }
  // Leaving the list: the normalisation (editable mode only); a conversion error is shown.
  void NormaliseList();

  QLineEdit* edTitle;
  QPlainTextEdit* edDescr;
  QLineEdit* edAuthor;
  QLineEdit* edURL;
  QPushButton* btnURL;
  QPlainTextEdit* edCombs;
  QLineEdit* edCreated;
  QLineEdit* edCSize;
  QLineEdit* edNums;
  QLineEdit* edCLen;
  QLineEdit* edOlap;
  QLineEdit* edDownloads;
  QLineEdit* edLastDownload;
  QPushButton* btnOK;
  QPushButton* btnCancel;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  TSystemFields Fields() const;
  void ShowFields(const TSystemFields& f);
  void CombsMenu(const QPoint& at);
  IHost& host_;
  tSystemData data_;
  tSystemData result_;
  bool editable_;
  bool combsChanged_ = false;
};

}  // namespace quintar::gui
