// The rating's commands bound to their actions: recompute from the stakes file, CSV export, the rows'
// script lines back into the script, the efficiency modes and sorting by a header click.
#pragma once

#include <functional>

class QWidget;

namespace quintar {
class Session;
}  // namespace quintar

namespace quintar::gui {

class ActionRegistry;
class TRatingsPage;

// showScript brings the script page forward once lines were added to the script.
void BindRatingCommands(ActionRegistry& actions, Session& session, TRatingsPage& page, QWidget* window,
                        std::function<void()> showScript);

}  // namespace quintar::gui
