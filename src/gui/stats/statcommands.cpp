#include "stats/statcommands.h"

#include "app/actionregistry.h"
#include "app/session.h"
#include "stats/formconfig.h"
#include "stats/formshredding.h"

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
  // "Формулы шинковки": OK stores the formulas and digits, writes them to the settings file, builds the
  // shredding methods' prefetch files anew and rebuilds the catalogue with the new names.
  actions.Bind(
      "EditShredding", [&s] { return CanEditShredding(s); },
      [&s, window] {
        TFormShredding dlg(window, ShreddingSettingsOf(s.Stats));
        if (dlg.exec() == QDialog::Accepted) EditShredding(s, dlg.Data());
      });
}

}  // namespace quintar::gui
