// The commands that run the script: the forecast, the test with its count question, the stop, and the
// run log switch and deletion.
#pragma once

class QWidget;

namespace quintar {
class Session;
}  // namespace quintar

namespace quintar::gui {

class ActionRegistry;

void BindScriptRunCommands(ActionRegistry& actions, Session& session, QWidget* window);

// The test count question ("Количество тестов"): the count chosen, 0 on Cancel. The tables' test asks the
// same question in a dialog of its own name.
int AskScriptTests(QWidget* parent, int maxTests, const char* dialogName = "FormTests",
                   const char* fieldName = "edTests");

}  // namespace quintar::gui
