// The script list's commands bound to their actions: open, save, append a file, add, separator, clone,
// edit, delete, delete all, move up and down; the list's context menu and its double click; the line
// editor and the filter editor it opens.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

class QWidget;

namespace quintar {
class IHost;
class Session;
}  // namespace quintar

namespace quintar::gui {

class ActionRegistry;
class QtHost;
class TScriptPage;

void BindScriptCommands(ActionRegistry& actions, Session& session, QtHost& host, TScriptPage& page, QWidget* window);

// The line editor: opens with the caption and the line (an empty one for a new line) and, on OK, puts
// the edited line into line and returns true. defaultDraws fills the draws count of a new line.
bool EditScriptLine(QWidget* parent, Session& session, IHost& host, const QString& caption, int32_t defaultDraws,
                    std::string& line);

// The draws count of the statistics table (edDrawsStatLen) that a new filter starts with: the main
// window's field when it has one, else the statistics table's count.
int StatDrawsCount(QWidget* window, Session& session);

}  // namespace quintar::gui
