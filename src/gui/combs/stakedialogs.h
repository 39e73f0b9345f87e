// The stake dialogs: one stake (TFormStake), one stake per combination (TFormMulti) and delete by
// condition (TFormStakeFilter). OK closes a dialog only when its fields pass the checks; a failed check
// shows its message and keeps the dialog open.
#pragma once

#include <QDialog>

#include "combs/stakesfile.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace quintar {
class IHost;
}

namespace quintar::gui {

class TFormStake : public QDialog {
  Q_OBJECT

 public:
  // base: the record the dialog starts from (its draw, numbers and comment are shown).
  TFormStake(QWidget* parent, IHost& host, const TStakeRec& base);
  void accept() override;
  // What the dialog collected, and the record made of it.
  TStakeDialogInput Input() const;
  const TStakeRec& Result() const { return result_; }

  QSpinBox* edDrawNumber;
  QLineEdit* edStakeData;
  QLineEdit* edStakeSum;
  QLineEdit* edComment;
  QSpinBox* edDrawsCount;

 private:
  IHost& host_;
  TStakeRec base_;
  TStakeRec result_;
};

class TFormMulti : public QDialog {
  Q_OBJECT

 public:
  TFormMulti(QWidget* parent, IHost& host, int draw);
  void accept() override;

  QSpinBox* edDrawNumber;
  QSpinBox* edDrawsCount;
  QLineEdit* edComment;

 private:
  IHost& host_;
};

class TFormStakeFilter : public QDialog {
  Q_OBJECT

 public:
  explicit TFormStakeFilter(QWidget* parent);
  int Condition() const;
  int Value() const;

  QComboBox* cbCondition;
  QSpinBox* edValue;
};

}  // namespace quintar::gui
