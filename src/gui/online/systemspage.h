// Page "Системы": the online systems catalogue and the stored systems.
#pragma once

#include "app/mainpage.h"

namespace quintar {
class Session;
}

namespace quintar::gui {

class TSystemsPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TSystemsPage(Session& session, QWidget* parent = nullptr);

 private:
  [[maybe_unused]] Session& session_;  // filled in with the page
};

}  // namespace quintar::gui
