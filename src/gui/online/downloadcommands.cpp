#include "online/downloadcommands.h"

#include <QPointer>

#include "app/actionregistry.h"
#include "app/desktopshell.h"
#include "app/guiutil.h"
#include "app/qthost.h"
#include "app/session.h"
#include "online/formproxy.h"
#include "online/formwait.h"

namespace quintar::gui {

void BindDownloadCommands(ActionRegistry& actions, Session& s, QtHost& host, QWidget* window) {
  QPointer<TFormWait> wait = new TFormWait(window);
  host.showWait = [wait](const QString& text) {
    if (wait) wait->ShowText(text);
  };
  host.hideWait = [wait] {
    if (wait) wait->hide();
  };

  // The download ends by checking the stakes; the archive, the draw list and the views follow it month by
  // month.
  actions.Bind("DrawsDownload", [&s] { return s.CanDrawsDownload(); }, [&s] { s.DrawsDownload(); });

  actions.Bind(
      "EditProxy", [&s] { return s.CanEditProxy(); },
      [&s, window] {
        TFormProxy dlg(window, s.Proxy);
        if (dlg.exec() == QDialog::Accepted)
          s.EditProxy(dlg.Choice(), dlg.Server(), dlg.Port(), dlg.Username(), dlg.Password());
      });

  for (int mode = 0; mode <= 2; ++mode) {
    const std::string name = "AutoDownload" + std::to_string(mode);
    actions.Bind(name, [&s] { return s.CanAutoDownload(); }, [&s, mode] { s.AutoDownload(mode); });
    actions.BindChecked(name, [&s, mode] { return s.AutoDownloadChecked(mode); });
  }

  actions.Bind(
      "OpenLotoSite", [&s] { return s.CanOpenLotoSite() && !s.LotoSiteUrl().empty(); },
      [&s] { OpenLink(s.LotoSiteUrl()); });
}

}  // namespace quintar::gui
