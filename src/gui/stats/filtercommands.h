// The filter commands bound to their actions: keep and delete the combinations of the statistics
// table's selected rows, the favourites manager, the favourites reset and the statistic description.
#pragma once

class QWidget;

namespace quintar {
class Session;
}

namespace quintar::gui {

class ActionRegistry;

// The pop-up menu actions of the statistics table.
inline constexpr const char* kStatFilterInclude = "StatFilter_Include";
inline constexpr const char* kStatFilterExclude = "StatFilter_Exclude";

// Creates the two pop-up actions and binds every filter command. The keep and delete commands work on
// the rows selected in the session's statistics table; a selection change in the window's table view
// (lvDrawsStat) re-evaluates their rules.
void BindFilterCommands(ActionRegistry& actions, Session& session, QWidget* window);

}  // namespace quintar::gui
