// The draw results download's commands bound to their actions: the download (F3) with its wait panel,
// the proxy dialog, the start-up download choice and the lottery's site.
#pragma once

class QWidget;

namespace quintar {
class Session;
}  // namespace quintar

namespace quintar::gui {

class ActionRegistry;
class QtHost;

// Also gives the host the wait panel, owned by the window.
void BindDownloadCommands(ActionRegistry& actions, Session& session, QtHost& host, QWidget* window);

}  // namespace quintar::gui
