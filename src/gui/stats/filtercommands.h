// The filter commands bound to their actions: keep and delete the combinations of the statistics
// table's selected rows, the favourites manager, the favourites reset and the statistic description.
#pragma once

#include <functional>

#include "combs/filters.h"

class QWidget;

namespace quintar {
class Session;
}

namespace quintar::gui {

class ActionRegistry;

// The pop-up menu actions of the statistics table.
inline constexpr const char* kStatFilterInclude = "StatFilter_Include";
inline constexpr const char* kStatFilterExclude = "StatFilter_Exclude";

// selectedRows gives the statistics table's selected rows (their records and value texts).
void BindFilterCommands(ActionRegistry& actions, Session& session, QWidget* window,
                        std::function<TStatSelection()> selectedRows);

}  // namespace quintar::gui
