#include "combs/ratingspage.h"

#include "app/session.h"

namespace quintar::gui {

TRatingsPage::TRatingsPage(Session& session, QWidget* parent) : TMainPage("tsRatings", "Рейтинг", parent), session_(session) {}

}  // namespace quintar::gui
