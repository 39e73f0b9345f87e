// The session's side of the draw results download: its settings, menu commands and start-up behaviour.
#include "app/cmdline.h"
#include "app/session.h"
#include "util/inifile.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

void Session::ReadProxySettings() {
  try {
    Proxy.ReadFrom(IniFile(FilePath(".ini")));
  } catch (const std::exception& e) {
    ShowFailure(kConfigReadError, e);
  }
}

bool Session::WriteProxySettings(bool busy) {
  if (busy) BeginBusy();
  if (busy) ShowStatus("Сохранение файла конфигурации...");
  bool ok = true;
  try {
    IniFile ini(FilePath(".ini"));
    Proxy.WriteTo(ini);
    ini.UpdateFile();
  } catch (const std::exception& e) {
    ShowFailure(kConfigWriteError, e);
    ok = false;
  }
  if (busy) {
    ShowStatus("");
    EndBusy();
  }
  return ok;
}

void Session::ReadOnlineSettings() {
  try {
    Online = TOnlineAddresses::Defaults();
    Online.ReadFrom(IniFile(FilePath(".ini")));
  } catch (const std::exception& e) {
    ShowFailure(kConfigReadError, e);
  }
}

void Session::CheckStakesAfterDownload() {
  if (Stakes.IsOpen()) {
    CheckStakes();
    UpdateStakesView(false);
    return;
  }
  // A download without the desktop's start-up (the command-line program): the stakes file is opened
  // for the check when there is one, with the rating the checked stakes are folded into.
  if (!FileExists(Stakes.Path())) return;
  try {
    Stakes.OpenStakes();
    // A file of another format is left for the desktop program to deal with.
    if (Stakes.IsOldVersion()) {
      Stakes.CloseStakes();
      return;
    }
  } catch (const EStakesFile& e) {
    ShowError(e.FullText());
    return;
  }
  LoadRating(false);
  CheckStakes();
  CloseStakesFile();
}

void Session::EditProxy(int choice, const std::string& server, int port, const std::string& username,
                        const std::string& password) {
  Proxy.Server = Trim(server);
  Proxy.Port = port < 1 ? 1 : port > 65535 ? 65535 : port;
  Proxy.Username = username;
  Proxy.Password = password;
  Proxy.Saved = false;
  Proxy.Mode = choice == 1 || choice == 2 ? choice : 0;
  if (Proxy.Mode == 1) {
    Proxy.Server.clear();
    Proxy.Port = 0;
    Proxy.Username.clear();
    Proxy.Password.clear();
  }
  WriteProxySettings(true);
}

int Session::DownloadOnStart() const { return Frm.ReadFormInt(kMainForm, kDownloadOnStartKey, dsAsk); }

void Session::AutoDownload(int value) {
  try {
    Frm.WriteFormInt(kMainForm, kDownloadOnStartKey, value);
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
  host_->Changed(Change::Actions);
}

void Session::StartupDownload() {
  switch (DownloadOnStart()) {
    case dsAuto:
      DrawsDownload();
      break;
    case dsNever:
      break;
    default:
      if (host_->Ask(AskKind::ConfirmYes, kDownloadOnStartQuestion)) DrawsDownload();
      break;
  }
}

bool Session::LoadOnlyDownload(const CommandLine& cl) {
  if (!cl.HasSwitch("loadonly")) return false;
  DrawsDownload();
  return !cl.HasSwitch("fullrecreate") && !cl.HasSwitch("fullrefresh");
}

}  // namespace quintar
