// Page "Рейтинг": the ratings of checked stakes.
#pragma once

#include "app/mainpage.h"

namespace quintar {
class Session;
}

namespace quintar::gui {

class TRatingsPage : public TMainPage {
  Q_OBJECT

 public:
  explicit TRatingsPage(Session& session, QWidget* parent = nullptr);

 private:
  [[maybe_unused]] Session& session_;  // filled in with the page
};

}  // namespace quintar::gui
