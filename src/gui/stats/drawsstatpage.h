// Page "Статистика": the statistics table over the analysis window, its chart and its commands.
#pragma once

#include "app/mainpage.h"

namespace quintar {
class Session;
}

namespace quintar::gui {

class TDrawsStatPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TDrawsStatPage(Session& session, QWidget* parent = nullptr);

 private:
  [[maybe_unused]] Session& session_;  // filled in with the page
};

}  // namespace quintar::gui
