#include "combs/combspage.h"

#include "app/session.h"

namespace quintar::gui {

TCombsPage::TCombsPage(Session& session, QWidget* parent) : TMainPage("tsCombs", "Комбинации", parent), session_(session) {}

}  // namespace quintar::gui
