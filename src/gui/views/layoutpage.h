// Page "Схема": the layout scheme and its comparison lists.
#pragma once

#include "app/mainpage.h"

namespace quintar {
class Session;
}

namespace quintar::gui {

class TLayoutPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TLayoutPage(Session& session, QWidget* parent = nullptr);

 private:
  [[maybe_unused]] Session& session_;  // filled in with the page
};

}  // namespace quintar::gui
