// Page "Регуляры": the tables (regular stakes).
#pragma once

#include "app/mainpage.h"

namespace quintar {
class Session;
}

namespace quintar::gui {

class TTablesPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TTablesPage(Session& session, QWidget* parent = nullptr);

 private:
  [[maybe_unused]] Session& session_;  // filled in with the page
};

}  // namespace quintar::gui
