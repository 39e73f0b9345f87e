// Page "Ставки": the stakes grid.
#pragma once

#include "app/mainpage.h"

namespace quintar {
class Session;
}

namespace quintar::gui {

class TStakesPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TStakesPage(Session& session, QWidget* parent = nullptr);

 private:
  [[maybe_unused]] Session& session_;  // filled in with the page
};

}  // namespace quintar::gui
