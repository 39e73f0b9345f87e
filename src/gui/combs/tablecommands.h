// The commands of the menu "Регуляры" and "Вкладка \"Регуляры\"" bound to the tables of the session.
#pragma once

#include <functional>

class QWidget;

namespace quintar {
class IHost;
class Session;
}

namespace quintar::gui {

class ActionRegistry;
class TTablesPage;

// window: the main window; its combination list view "lvCombs" gives the selected combinations that a new
// table starts from. showPage shows or hides the page (and makes it current when shown).
void BindTableCommands(ActionRegistry& reg, Session& s, IHost& host, TTablesPage& page, QWidget* window,
                       std::function<void(bool shown)> showPage);

}  // namespace quintar::gui
