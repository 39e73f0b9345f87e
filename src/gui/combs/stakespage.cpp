#include "combs/stakespage.h"

#include "app/session.h"

namespace quintar::gui {

TStakesPage::TStakesPage(Session& session, QWidget* parent) : TMainPage("tsStakes", "Ставки", parent), session_(session) {}

}  // namespace quintar::gui
