#include "views/cardpage.h"

#include "app/session.h"

namespace quintar::gui {

TCardPage::TCardPage(Session& session, QWidget* parent) : TMainPage("tsCard", "Карта", parent), session_(session) {}

}  // namespace quintar::gui
