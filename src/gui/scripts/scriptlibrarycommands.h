// The commands of the online script catalogue panel bound to their actions: show or hide the panel,
// refresh, download, publish, replace, delete, properties, ratings, rate 1..5, hide and withdraw; the panel's
// toolbar, the list's context menu (the ratings grouped under "Оценить"), its double click and the filter list.
#pragma once

#include <functional>
#include <vector>

class QWidget;

namespace quintar {
class Session;
}

namespace quintar::gui {

class ActionRegistry;
class TScriptPage;

// languages: the interface languages the properties dialog offers.
void BindScriptLibraryCommands(ActionRegistry& actions, Session& session, TScriptPage& page, QWidget* window,
                               std::function<std::vector<int>()> languages);

}  // namespace quintar::gui
