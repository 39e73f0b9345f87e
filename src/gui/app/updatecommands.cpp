#include "app/updatecommands.h"

#include "app/actionregistry.h"
#include "app/formnewversion.h"
#include "app/session.h"

namespace quintar::gui {

void BindUpdateCommands(ActionRegistry& actions, Session& s, QWidget* window, std::function<int()> language,
                        std::function<void()> restart) {
  TSelfUpdate& u = s.SelfUpdate;
  u.Offer = [window](const TUpdateCheck& found, bool canInstall) {
    TFormNewVersion dlg(window, found, canInstall);
    return dlg.exec() == QDialog::Accepted && canInstall;
  };
  actions.Bind(
      "CheckUpdate", [&u] { return u.CanCheckUpdate(); },
      [&u, language, restart] {
        if (u.CheckUpdateCommand(language())) restart();
      });
  actions.Bind("AutoSelfUpdate", [&u] { return u.CanAutoSelfUpdate(); }, [&u] { u.AutoSelfUpdate(); });
  actions.BindChecked("AutoSelfUpdate", [&u] { return u.AutoSelfUpdateChecked(); });
}

}  // namespace quintar::gui
