#include "stats/statcommands.h"

#include "app/actionregistry.h"
#include "app/session.h"
#include "stats/formconfig.h"

namespace quintar::gui {

void BindStatCommands(ActionRegistry& actions, Session& s, IHost& host, QWidget* window) {
  // "Параметры": the dialog edits a copy of the settings block; OK stores it, writes the settings file,
  // rebuilds the catalogue and the choosers and repaints what the channel size colours.
  actions.Bind(
      "EditConfig", [&s] { return s.CanEditConfig(); },
      [&s, &host, window] {
        TFormConfig dlg(window, host, s.ConfigData());
        if (dlg.exec() == QDialog::Accepted) s.EditConfig(dlg.Data());
      });
}

}  // namespace quintar::gui
