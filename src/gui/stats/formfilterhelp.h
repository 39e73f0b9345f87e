// The description of a statistic: a modal window with an HTML viewer on the page the statistic names.
#pragma once

#include <QDialog>
#include <string>

class QTextBrowser;

namespace quintar::gui {

class TFormFilterHelp : public QDialog {
  Q_OBJECT

 public:
  // address: a local HTML file (a path or a file: URL).
  TFormFilterHelp(QWidget* parent, const std::string& address);

  QTextBrowser* wbHelp;
};

// Shows the page modally; nothing for an empty address.
void ShowFilterHelp(QWidget* parent, const std::string& address);

}  // namespace quintar::gui
