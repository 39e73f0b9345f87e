// The commands of the page "Системы" bound to their actions: the page on or off, refresh, download, add,
// properties and delete, and the two system stake commands; the page's toolbar, the list's context menu and
// its double click, and the system stake commands in the menus of the combination list and the stakes grid.
#pragma once

class QWidget;

namespace quintar {
class IHost;
class Session;
}  // namespace quintar

namespace quintar::gui {

class ActionRegistry;
class TSystemsPage;

void BindSystemsCommands(ActionRegistry& actions, Session& session, IHost& host, TSystemsPage& page, QWidget* window);

}  // namespace quintar::gui
