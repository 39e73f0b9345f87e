// The combination list's commands bound to their actions: generation, excluding the last draws, open,
// save, clipboard copy and paste, select all, undo, delete selected, distinct numbers, finding the
// combination in the archive and the channel colours; also the list's own menu and the field of draws
// to exclude with its button and Enter key.
#pragma once

class QWidget;

namespace quintar {
class Session;
}  // namespace quintar

namespace quintar::gui {

class ActionRegistry;
class TCombsPage;

void BindCombsCommands(ActionRegistry& actions, Session& session, TCombsPage& page, QWidget* window);

}  // namespace quintar::gui
