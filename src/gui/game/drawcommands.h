// The draw archive's commands bound to their actions: add, edit, delete, CSV import and export, the
// sorted view and the channel colours.
#pragma once

class QWidget;

namespace quintar {
class IHost;
class Session;
}  // namespace quintar

namespace quintar::gui {

class ActionRegistry;
class TDrawsPage;

void BindDrawCommands(ActionRegistry& actions, Session& session, IHost& host, TDrawsPage& page, QWidget* window);

// Filter of the CSV draw files' dialogs.
inline constexpr const char* kDrawFilesFilter = "Файлы тиражей (*.csv)|*.csv";
// Title of the draw dialog for both commands.
inline constexpr const char* kDrawDialogTitle = "Введите данные следующего тиража";

}  // namespace quintar::gui
