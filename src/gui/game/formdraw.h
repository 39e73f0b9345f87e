// The draw dialog: number, the drawn numbers as text ("n1;...;n7;bonus"), and optionally date and time.
// OK closes it only when the text holds 7 distinct numbers 1..35 and a bonus 1..20 and no other draw of
// the archive carries the number.
#pragma once

#include <QDialog>
#include <functional>

#include "game/game.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTimeEdit;

namespace quintar {
class IHost;
}

namespace quintar::gui {

class TFormDraw : public QDialog {
  Q_OBJECT

 public:
  // numberTaken tells whether another draw of the archive already has a number.
  TFormDraw(QWidget* parent, IHost& host, const QString& title, const TDraw& draw, bool dateEntry,
            std::function<bool(int)> numberTaken = {});

  // The draw as the dialog rebuilt it on an accepted OK.
  const TDraw& Draw() const { return draw_; }

  void accept() override;

  QLabel* lblTitle;
  QSpinBox* edDrawNumber;
  QLineEdit* edDrawData;
  QDateEdit* edDrawDate;
  QTimeEdit* edDrawTime;

 private:
  IHost& host_;
  TDraw draw_;
  bool dateEntry_;
  std::function<bool(int)> numberTaken_;
};

}  // namespace quintar::gui
