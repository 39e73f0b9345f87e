// The commands of the menu "Ставки" bound to the session's stake commands.
#pragma once

class QWidget;

namespace quintar {
class IHost;
class Session;
}

namespace quintar::gui {

class ActionRegistry;
class TStakesPage;

// window: the main window; its combination list view "lvCombs" (when it has one) gives the current
// combination and the selection the add commands work on.
void BindStakeCommands(ActionRegistry& reg, Session& s, IHost& host, TStakesPage& page, QWidget* window);

}  // namespace quintar::gui
