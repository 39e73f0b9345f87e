// The statistic catalogue's commands bound to their actions: the configuration dialog.
#pragma once

class QWidget;

namespace quintar {
class IHost;
class Session;
}  // namespace quintar

namespace quintar::gui {

class ActionRegistry;

void BindStatCommands(ActionRegistry& actions, Session& session, IHost& host, QWidget* window);

}  // namespace quintar::gui
