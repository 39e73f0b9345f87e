#include "scripts/scriptpage.h"

#include "app/session.h"

namespace quintar::gui {

TScriptPage::TScriptPage(Session& session, QWidget* parent) : TMainPage("tsScript", "Сценарий", parent), session_(session) {}

}  // namespace quintar::gui
