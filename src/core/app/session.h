// Everything the main window owns for the whole run, and the commands over it. Each user command is a
// pair: its enabling rule (Can...) and its execution, taking what a dialog collected as plain arguments.
// The desktop program and the command-line program drive the same Session.
#pragma once

#include <bitset>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "app/formsettings.h"
#include "app/host.h"
#include "game/drawarchive.h"
#include "online/download.h"

namespace quintar {

class CommandLine;

inline constexpr const char* kBaseName = "Quintar_7x35";

class Session {
 public:
  Session(std::string dataDir, IHost& host);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  IHost& Host() { return *host_; }
  void SetHost(IHost& host) { host_ = &host; }
  const std::string& DataDir() const { return dataDir_; }
  // A data file of the program: the data folder, "Quintar_7x35" and the extension (".ldr").
  std::string FilePath(std::string_view ext) const;

  // Busy state: long operations call BeginBusy on entry and EndBusy on every way out.
  void BeginBusy();
  void EndBusy();
  bool IsIdle() const { return busy_ == 0; }
  int BusyCount() const { return busy_; }
  // Status text (the last status bar panel); lets the interface process pending events.
  void ShowStatus(const std::string& text);
  const std::string& StatusText() const { return status_; }
  // Status bar panel texts 0..5 as last set.
  const std::string& PanelText(int index) const { return panels_[static_cast<size_t>(index)]; }
  void SetPanel(int index, const std::string& text);

  void ShowError(const std::string& text) { host_->ShowMessage(MsgKind::Error, text); }
  // The failure convention: "<resource text>\r\r<exception message>" in an error box.
  void ShowFailure(std::string_view resource, const std::exception& e);
  void ShowInfo(const std::string& text) { host_->ShowMessage(MsgKind::Information, text); }
  void ShowAttention(const std::string& text) { host_->ShowMessage(MsgKind::Attention, text); }
  void ShowWarning(const std::string& text) { host_->ShowMessage(MsgKind::Warning, text); }
  bool Confirm(const std::string& text, bool yesDefault = true) {
    return host_->Ask(yesDefault ? AskKind::ConfirmYes : AskKind::ConfirmNo, text);
  }

  // Window-settings file and the main window's keys held by the core.
  FormSettings Frm;
  void ReadFormKeys();

  // Script state and view refresh suspension.
  bool ScriptRunning = false;
  bool StopRequested = false;
  bool ViewsSuspended = false;

  // Draw archive ------------------------------------------------------------------------------------
  TDrawArchive Archive;
  int DrawsOffset() const { return drawsOffset_; }
  bool SortedView = false;  // "SortedDraws"
  bool ColorDraws = true;   // "ColorDraws"
  // Numbers of the first draw after the analysis window when DrawsOffset > 0.
  std::bitset<MAX_NUMBER + 1> NextDrawNums;
  // Index of the newest draw of the analysis window (the last index).
  int LastIndex() const { return Archive.High() - drawsOffset_; }

  void LoadArchive();
  void SaveArchive();
  void RefreshDrawsList(bool force);
  void RefreshViews(bool force);
  void SetDrawsOffset(int offset);

  // Draw list rows (row 0 = newest draw) as the list shows them.
  static std::vector<std::string> DrawListCaptions();
  TDraw DrawListDraw(int row) const;  // with SortedView applied
  std::vector<std::string> DrawListCells(int row) const;
  int DrawIndexOfRow(int row) const { return Archive.Count() - row - 1; }

  // Draw commands.
  bool CanDrawsAdd() const { return IsIdle(); }
  void DrawsAdd(const TDraw& d);
  bool CanDrawsEdit(int selectedRows) const { return IsIdle() && selectedRows > 0; }
  void DrawsEdit(int row, const TDraw& d);
  bool CanDrawsDel(int selectedRows) const { return IsIdle() && selectedRows > 0; }
  // Asks the delete confirmation; returns false when the user declined.
  bool DrawsDel(const std::vector<int>& rows);
  bool CanDrawsImport() const { return IsIdle(); }
  int DrawsImport(const std::string& path);  // returns the number of draws added, -1 on failure
  bool CanDrawsExport() const { return IsIdle() && !Archive.Empty(); }
  bool DrawsExport(const std::string& path);
  bool CanDrawsSorted() const { return IsIdle(); }
  void DrawsSorted();
  bool CanViewColorDraws() const { return IsIdle(); }
  void ViewColorDraws();
  // A zeroed draw numbered NextDrawNumber(0), as the draw dialog opens for a new draw.
  TDraw NewDraw() const;

  // Draw results download ---------------------------------------------------------------------------
  TProxy Proxy;
  TOnlineAddresses Online = TOnlineAddresses::Defaults();
  TDownloadTuning DownloadTuning;
  // Settings file Quintar_7x35.ini: the proxy (section "PROXY") and the service addresses ("ONLINE").
  void ReadProxySettings();
  // Writes the proxy settings; with busy, inside the busy state with a status text. False on failure (shown).
  bool WriteProxySettings(bool busy);
  void ReadOnlineSettings();

  bool CanDrawsDownload() const { return IsIdle(); }
  TDownloadResult DrawsDownload() { return DownloadDraws(*this); }
  // The last step of a download: check the stakes against the new draws.
  void CheckStakesAfterDownload();
  // The proxy dialog's OK: choice 0 none, 1 automatic, 2 manual with the four values.
  bool CanEditProxy() const { return IsIdle(); }
  void EditProxy(int choice, const std::string& server, int port, const std::string& username,
                 const std::string& password);
  // "DownloadDrawsOnStart": 0 ask, 1 automatic, 2 never (menu "По запросу", "Автоматически", "Отключено").
  int DownloadOnStart() const;
  bool CanAutoDownload() const { return IsIdle(); }
  void AutoDownload(int value);
  bool AutoDownloadChecked(int value) const { return DownloadOnStart() == value; }
  // The lottery's site for the browser.
  bool CanOpenLotoSite() const { return IsIdle(); }
  std::string LotoSiteUrl() const { return Online.LotteryUrl; }
  // The start-up download by "DownloadDrawsOnStart" (asks when it is 0).
  void StartupDownload();
  // The switch "loadonly": downloads at once; true when the program should then end (unless "fullrecreate"
  // or "fullrefresh" is given too). False without the switch.
  bool LoadOnlyDownload(const CommandLine& cl);

 private:
  std::string dataDir_;
  IHost* host_;
  int busy_ = 0;
  std::string status_;
  std::string panels_[7];
  int drawsOffset_ = 0;
};

// Keeps the session busy for the lifetime of the object.
class BusyScope {
 public:
  explicit BusyScope(Session& s) : s_(s) { s_.BeginBusy(); }
  ~BusyScope() { s_.EndBusy(); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  Session& s_;
};

// Shows a status text for the lifetime of the object and clears it at the end.
class StatusScope {
 public:
  StatusScope(Session& s, const std::string& text) : s_(s) { s_.ShowStatus(text); }
  ~StatusScope() { s_.ShowStatus(""); }
  StatusScope(const StatusScope&) = delete;
  StatusScope& operator=(const StatusScope&) = delete;

 private:
  Session& s_;
};

}  // namespace quintar
