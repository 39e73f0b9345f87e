#include "views/layoutpage.h"

#include "app/session.h"

namespace quintar::gui {

TLayoutPage::TLayoutPage(Session& session, QWidget* parent) : TMainPage("tsLayout", "Схема", parent), session_(session) {}

}  // namespace quintar::gui
