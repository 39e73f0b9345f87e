#include "combs/tablespage.h"

#include "app/session.h"

namespace quintar::gui {

TTablesPage::TTablesPage(Session& session, QWidget* parent) : TMainPage("tsTables", "Регуляры", parent), session_(session) {}

}  // namespace quintar::gui
