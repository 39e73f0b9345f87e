#include "online/systemspage.h"

#include "app/session.h"

namespace quintar::gui {

TSystemsPage::TSystemsPage(Session& session, QWidget* parent) : TMainPage("tsSystems", "Системы", parent), session_(session) {}

}  // namespace quintar::gui
