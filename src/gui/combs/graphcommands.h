// The chart commands bound to their actions: the summed profit per draw of the stakes file, the matches
// and the profits of the stakes of the selected rating rows over the last draws, and the match
// distribution of the selected rating rows. Each shows its chart in the chart window.
#pragma once

class QWidget;

namespace quintar {
class Session;
}  // namespace quintar

namespace quintar::gui {

class ActionRegistry;
class TRatingsPage;

void BindGraphCommands(ActionRegistry& actions, Session& session, TRatingsPage& ratings, QWidget* window);

}  // namespace quintar::gui
