// Page "Сценарий": the script list with the online script catalogue at its bottom.
#pragma once

#include "app/mainpage.h"

namespace quintar {
class Session;
}

namespace quintar::gui {

class TScriptPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TScriptPage(Session& session, QWidget* parent = nullptr);

 private:
  [[maybe_unused]] Session& session_;  // filled in with the page
};

}  // namespace quintar::gui
