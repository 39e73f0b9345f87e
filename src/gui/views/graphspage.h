// Page "Графики": graphs of one statistic over the recent draws.
#pragma once

#include "app/mainpage.h"

namespace quintar {
class Session;
}

namespace quintar::gui {

class TGraphsPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TGraphsPage(Session& session, QWidget* parent = nullptr);

 private:
  [[maybe_unused]] Session& session_;  // filled in with the page
};

}  // namespace quintar::gui
