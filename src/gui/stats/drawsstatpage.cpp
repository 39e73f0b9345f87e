#include "stats/drawsstatpage.h"

#include "app/session.h"

namespace quintar::gui {

TDrawsStatPage::TDrawsStatPage(Session& session, QWidget* parent) : TMainPage("tsDrawsStat", "Статистика", parent), session_(session) {}

}  // namespace quintar::gui
