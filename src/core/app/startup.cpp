#include "app/startup.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "app/language.h"
#include "app/session.h"
#include "app/shell.h"
#include "combs/ratings.h"
#include "online/download.h"
#include "stats/prefetch.h"
#include "util/safefile.h"

namespace quintar {

void RemoveStaleTempFiles(const Session& s) {
  RemoveStaleTempFiles(s.DataDir(), kBaseName);
  RemoveStaleTempFiles(PrefetchFolder(s.DataDir()), kBaseName);
}

void RunStartupPrefetches(Session& s, const CommandLine& cl) { s.StartupPrefetches(cl); }

TStartup::TStartup(Session& s, CommandLine cl, TStartupHooks hooks) : s_(s), cl_(std::move(cl)), h_(std::move(hooks)) {}

bool TStartup::Unattended() const {
  return cl_.HasSwitch("loadonly") || cl_.HasSwitch("fullrecreate") || cl_.HasSwitch("fullrefresh");
}

void TStartup::End() {
  ended_ = true;
  if (h_.EndProgram) h_.EndProgram();
}

bool TStartup::WaitForPreviousInstance() {
  auto running = [&] {
    if (h_.OtherInstanceRunning) return h_.OtherInstanceRunning();
    const std::string program = cl_.ProgramPath().empty() ? CurrentProgramPath() : cl_.ProgramPath();
    return OtherInstanceRunning(ExtractFileName(program));
  };
  if (!running()) return true;
  for (int i = 0; i < kInstanceWaitTries; ++i) {
    if (h_.Wait) {
      h_.Wait(kInstanceWaitMs);
    } else {
      s_.Host().ProcessEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(kInstanceWaitMs));
    }
    if (!running()) return true;
  }
  return false;
}

bool TStartup::FormCreate() {
  try {
    Step("create.1");
    if (h_.SetWindowFont) h_.SetWindowFont();
    Step("create.2");
    s_.PrefetchsEnabled = false;
    if (s_.Stakes.IsOpen()) s_.Stakes.CloseStakes();
    Step("create.3");
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    Step("create.4");
    if (h_.HideSystems) h_.HideSystems();
    Step("create.5");
    s_.CurrentCombs.Clear();
    s_.PreviousCombs.Clear();
    s_.CombsBuffer.Reset();
    Step("create.6");
    if (cl_.HasSwitch("restart") && !WaitForPreviousInstance()) {
      End();
      return false;
    }
    Step("create.7");
    if (h_.ChooseLanguage)
      h_.ChooseLanguage(cl_.HasSwitch("no-language") ? kBaseLanguage
                                                     : s_.Frm.ReadFormInt(kMainForm, "Language", kDefaultLanguage));
    Step("create.8");
    s_.ScriptRunning = false;
    s_.StopRequested = false;
    s_.ViewsSuspended = false;
    s_.ResetCombsBuffer();
    if (h_.SetUpViews) h_.SetUpViews();
    Step("create.9");
    try {
      s_.ReadFormKeys();
      if (h_.ReadWindowSettings) h_.ReadWindowSettings();
      // The first start in this folder: prefetching starts off and the norm columns are hidden.
      if (!s_.Frm.ReadFormBool(kMainForm, "PrefetchsInit", false)) {
        s_.Frm.WriteFormBool(kMainForm, "PrefetchsInit", true);
        s_.Frm.WriteFormBool(kMainForm, "PrefetchsEnabled", s_.PrefetchsEnabled);
        if (h_.ShowNormColumns) h_.ShowNormColumns(s_.PrefetchsEnabled);
      }
    } catch (const std::exception& e) {
      s_.ShowFailure(kSettingsLoadError, e);
    }
    Step("create.10");
    s_.ReadSettings();
    s_.ReadProxySettings();
    s_.ReadOnlineSettings();
    Step("create.11");
    s_.Stats.Draws = &s_.Archive.Draws();
    s_.Stats.BuildCatalogue();
    s_.LoadStatNames(s_.FilePath(".flt"), true);
    s_.RebuildStatLists(false, false);
    Step("create.12");
    if (h_.StartTimer) h_.StartTimer();
  } catch (const std::exception& e) {
    s_.ShowFailure(kStartError, e);
    return false;
  }
  return true;
}

bool TStartup::InitTimer() {
  const bool loadOnly = cl_.HasSwitch("loadonly");
  const bool recreate = cl_.HasSwitch("fullrecreate");
  const bool refresh = cl_.HasSwitch("fullrefresh");
  auto download = [&] {
    if (h_.Download)
      h_.Download();
    else
      s_.DrawsDownload();
  };
  auto prefetches = [&] {
    if (h_.Prefetches)
      h_.Prefetches();
    else
      RunStartupPrefetches(s_, cl_);
  };
  try {
    Step("init.1");
    s_.ShowStatus(kInitStatus);
    Step("init.2");
    s_.ReserveCombsLists();
    (void)MatchChances();
    Step("init.3");
    if (h_.AppendVersion) h_.AppendVersion();
    Step("init.4");
    s_.SetDrawsOffset(0);
    Step("init.5");
    if (!s_.LoadStakesExclusive()) {
      s_.ShowStatus("");
      End();
      return false;
    }
    Step("init.6");
    RemoveStaleTempFiles(s_);
    s_.LoadArchive();
    s_.RefreshDrawsList(false);  // also without an archive file: the panels show the empty archive
    Step("init.7");
    s_.GenerateCombs(true, s_.Stats.CombsGen);
    Step("init.8");
    s_.RefreshViews(true);
    Step("init.9");
    s_.LoadRating();
    if (h_.LoadTables) h_.LoadTables();
    s_.LoadScript();
    Step("init.10");
    if (!Unattended() && h_.StartServices) h_.StartServices();
    Step("init.11");
    if (h_.AttachRatingSort) h_.AttachRatingSort();
    Step("init.12");
    if (loadOnly) {
      download();
      if (!recreate && !refresh) {
        s_.ShowStatus("");
        End();
        return false;
      }
    }
    Step("init.13");
    if (s_.Frm.ReadFormBool(kMainForm, "AutoUpdates", true) && h_.UpdateCheck && h_.UpdateCheck()) {
      s_.ShowStatus("");
      ended_ = true;
      if (h_.RestartProgram) h_.RestartProgram();
      return false;
    }
    if (recreate || refresh) {
      Step(recreate ? "init.14" : "init.15");
      prefetches();
      s_.ShowStatus("");
      End();
      return false;
    }
    Step("init.15");
    prefetches();
    Step("init.16");
    switch (s_.DownloadOnStart()) {
      case dsAuto:
        download();
        break;
      case dsNever:
        break;
      default:
        if (s_.Host().Ask(AskKind::ConfirmYes, kDownloadOnStartQuestion)) download();
        break;
    }
    s_.ShowStatus("");
    Step("init.17");
    if (s_.Frm.ReadFormBool(kMainForm, "FirstRun", false) && h_.ShowFirstRun) h_.ShowFirstRun();
  } catch (const std::exception& e) {
    s_.ShowStatus("");
    s_.ShowFailure(kInitError, e);
    return false;
  }
  return true;
}

bool TStartup::FormCloseQuery() {
  if (s_.ScriptRunning && !s_.StopRequested) {
    if (h_.ScriptStop) h_.ScriptStop();
    s_.StopRequested = true;
  }
  return true;
}

void TStartup::FormDestroy(bool saveSettings) {
  if (destroyed_) return;
  destroyed_ = true;
  if (saveSettings) {
    try {
      IniFile ini = s_.Frm.Open();
      Step("destroy.1");
      if (h_.SaveWindowPlacement) h_.SaveWindowPlacement(ini);
      Step("destroy.2");
      ini.WriteInteger(kMainForm, "DrawsExclude", s_.CombsExclude);
      ini.WriteInteger(kMainForm, "DrawsStatLen", s_.DrawsStat.DrawsStatLen);
      if (h_.WriteShutdownKeys) h_.WriteShutdownKeys(ini);
      Step("destroy.3");
      if (h_.SaveListLayouts) h_.SaveListLayouts(ini);
      s_.Frm.Store(ini);
    } catch (const std::exception& e) {
      s_.ShowError(e.what());
    }
  }
  Step("destroy.4");
  s_.CurrentCombs.Clear();
  s_.PreviousCombs.Clear();
  s_.CombsBuffer.Reset();
  s_.Archive.Clear();
  s_.CloseStakesFile();
  s_.Ratings.Clear();
  if (h_.ReleaseTables) h_.ReleaseTables();
}

}  // namespace quintar
