// Page "Комбинации" of the left page control: the combination list above the filter list.
#pragma once

#include "app/mainpage.h"

namespace quintar {
class Session;
}

namespace quintar::gui {

class TCombsPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TCombsPage(Session& session, QWidget* parent = nullptr);

 private:
  [[maybe_unused]] Session& session_;  // filled in with the page
};

}  // namespace quintar::gui
