// The details window TFormInfo ("Подробная информация"): the property list of one draw or combination
// (lvProps) and its card (sgCard) with a chosen number of columns (seCols).
#pragma once

#include <QDialog>

#include "analysis/details.h"

class QSpinBox;
class QTableWidget;

namespace quintar {
class Session;
}

namespace quintar::gui {

class TFormInfo : public QDialog {
  Q_OBJECT

 public:
  TFormInfo(QWidget* parent, const TDetails& details, int cols, int channelSize);

  QTableWidget* lvProps;
  QTableWidget* sgCard;
  QSpinBox* seCols;

 private:
  void BuildCard();

  TDetails details_;
  int channelSize_;
};

// ShowDetails: the property list computed in the busy state, then the window shown modally.
void ShowDetailsWindow(QWidget* parent, Session& s, const TDetailsInput& in);

}  // namespace quintar::gui
