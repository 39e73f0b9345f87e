// Page "Карта": the card of recent draws.
#pragma once

#include "app/mainpage.h"

namespace quintar {
class Session;
}

namespace quintar::gui {

class TCardPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TCardPage(Session& session, QWidget* parent = nullptr);

 private:
  [[maybe_unused]] Session& session_;  // filled in with the page
};

}  // namespace quintar::gui
