#include "views/graphspage.h"

#include "app/session.h"

namespace quintar::gui {

TGraphsPage::TGraphsPage(Session& session, QWidget* parent) : TMainPage("tsGraphs", "Графики", parent), session_(session) {}

}  // namespace quintar::gui
