// The self-update's commands bound to their actions: "Поиск обновлений" (CheckUpdate) and the switch
// "Автоматическое обновление" (AutoSelfUpdate); the new-version dialog is the session's offer.
#pragma once

#include <functional>

class QWidget;

namespace quintar {
class Session;
}

namespace quintar::gui {

class ActionRegistry;

// language gives the current interface language; restart starts the program again after an install.
void BindUpdateCommands(ActionRegistry& actions, Session& session, QWidget* window, std::function<int()> language,
                        std::function<void()> restart);

}  // namespace quintar::gui
