// Start-up and shutdown: the order of the steps, the switches and their combinations, the wait for a
// previous copy, a second copy on the same folder, the first start and the settings written at shutdown.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/session.h"
#include "app/startup.h"
#include "online/download.h"
#include "testutil.h"
#include "util/inifile.h"
#include "util/safefile.h"

using namespace quintar;
using quintar::test::ScriptedHost;
using quintar::test::TempDir;

namespace {

// A data folder with a few draws and the window settings the test asks for; the hooks record what the
// window would have done.
struct StartRun {
  TempDir dir;
  ScriptedHost host;
  Session s{dir.Path(), host};
  std::vector<std::string> trace;
  int downloads = 0;
  bool updateInstalled = false;
  TStartupHooks hooks;

  explicit StartRun(const std::string& frm = "") {
    test::WriteBytes(dir.File("Quintar_7x35.ldr"), "");
    if (!frm.empty()) test::WriteBytes(dir.File("Quintar_7x35.frm"), "[TFormMain]\r\n" + frm);
    hooks.Download = [this] {
      ++downloads;
      trace.push_back("download");
    };
    hooks.StartServices = [this] { trace.push_back("services"); };
    hooks.UpdateCheck = [this] {
      trace.push_back("update");
      return updateInstalled;
    };
    hooks.RestartProgram = [this] { trace.push_back("restart"); };
    hooks.EndProgram = [this] { trace.push_back("end"); };
    hooks.ShowFirstRun = [this] { trace.push_back("firstrun"); };
    hooks.StartTimer = [this] { trace.push_back("timer"); };
  }
  TStartup Make(std::vector<std::string> args) { return TStartup(s, CommandLine(std::move(args)), hooks); }
  bool Has(const std::string& what) const { return std::find(trace.begin(), trace.end(), what) != trace.end(); }
  bool Asked() const {
    return std::any_of(host.questions.begin(), host.questions.end(),
                       [](const ScriptedHost::Question& q) { return q.text == kDownloadOnStartQuestion; });
  }
};

bool HasStep(const TStartup& st, const std::string& step) {
  return std::find(st.Steps().begin(), st.Steps().end(), step) != st.Steps().end();
}

}  // namespace

TEST(Startup, PlainStartAsksForTheDownloadAndStaysOpen) {
  StartRun r("AutoUpdates=0\r\n");
  r.host.answers = {false};
  TStartup st = r.Make({});
  ASSERT_TRUE(st.FormCreate());
  EXPECT_TRUE(r.Has("timer"));
  ASSERT_TRUE(st.InitTimer());
  EXPECT_TRUE(r.Asked());
  EXPECT_EQ(r.downloads, 0);
  EXPECT_TRUE(r.Has("services"));
  EXPECT_FALSE(r.Has("update"));
  EXPECT_FALSE(st.EndRequested());
  EXPECT_FALSE(r.Has("firstrun"));  // "FirstRun" defaults to false
  EXPECT_TRUE(r.s.StakesOpen());
  EXPECT_EQ(r.s.CurrentCombs.Count(), 6724520);  // the default list
  EXPECT_EQ(st.Steps().back(), "init.17");
  EXPECT_TRUE(r.host.messages.empty());
}

TEST(Startup, SwitchCombinations) {
  struct Case {
    std::vector<std::string> args;
    int downloads;
    bool prefetchStep;  // step 14 or 15 ran
    bool services;
    bool ended;
  };
  const Case cases[] = {
      {{"loadonly"}, 1, false, false, true},
      {{"-LoadOnly", "fullrefresh"}, 1, true, false, true},
      {{"loadonly", "fullrecreate"}, 1, true, false, true},
      {{"fullrecreate"}, 0, true, false, true},
      {{"/fullrefresh"}, 0, true, false, true},
      {{"no-language"}, 0, true, true, false},
  };
  for (const Case& c : cases) {
    StartRun r("DownloadDrawsOnStart=2\r\nAutoUpdates=0\r\n");
    TStartup st = r.Make(c.args);
    ASSERT_TRUE(st.FormCreate());
    const bool ok = st.InitTimer();
    const std::string what = c.args[0];
    EXPECT_EQ(r.downloads, c.downloads) << what;
    EXPECT_EQ(HasStep(st, "init.14") || HasStep(st, "init.15"), c.prefetchStep) << what;
    EXPECT_EQ(r.Has("services"), c.services) << what;
    EXPECT_EQ(st.EndRequested(), c.ended) << what;
    EXPECT_EQ(ok, !c.ended) << what;
    EXPECT_FALSE(r.Asked()) << what;
    // The prefetch rebuild of "fullrecreate" is step 14, the missing files of "fullrefresh" step 15.
    if (c.args.size() == 1 && what == "fullrecreate") {
      EXPECT_TRUE(HasStep(st, "init.14"));
      EXPECT_FALSE(HasStep(st, "init.15"));
    }
  }
}

TEST(Startup, DownloadOnStartSettingAndInstalledUpdate) {
  {
    StartRun r("DownloadDrawsOnStart=1\r\nAutoUpdates=0\r\n");
    TStartup st = r.Make({});
    ASSERT_TRUE(st.FormCreate());
    ASSERT_TRUE(st.InitTimer());
    EXPECT_EQ(r.downloads, 1);
    EXPECT_FALSE(r.Asked());
  }
  {
    StartRun r("DownloadDrawsOnStart=0\r\nAutoUpdates=0\r\n");
    r.host.answers = {true};
    TStartup st = r.Make({});
    ASSERT_TRUE(st.FormCreate());
    ASSERT_TRUE(st.InitTimer());
    EXPECT_TRUE(r.Asked());
    EXPECT_EQ(r.downloads, 1);
  }
  {
    // An installed update restarts the program even when an unattended job was asked for.
    StartRun r("DownloadDrawsOnStart=2\r\n");
    r.updateInstalled = true;
    TStartup st = r.Make({"fullrecreate"});
    ASSERT_TRUE(st.FormCreate());
    EXPECT_FALSE(st.InitTimer());
    EXPECT_TRUE(r.Has("restart"));
    EXPECT_FALSE(HasStep(st, "init.14"));
    EXPECT_FALSE(r.Has("end"));
  }
}

TEST(Startup, SecondCopyOnTheSameFolderEnds) {
  StartRun first("DownloadDrawsOnStart=2\r\nAutoUpdates=0\r\n");
  TStartup a = first.Make({});
  ASSERT_TRUE(a.FormCreate());
  ASSERT_TRUE(a.InitTimer());

  ScriptedHost host;
  Session second(first.dir.Path(), host);
  TStartupHooks hooks;
  bool ended = false;
  hooks.EndProgram = [&] { ended = true; };
  TStartup b(second, CommandLine(std::vector<std::string>{}), hooks);
  ASSERT_TRUE(b.FormCreate());
  EXPECT_FALSE(b.InitTimer());
  EXPECT_TRUE(ended);
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0].text.rfind(std::string(kStakesReadError) + "\r\r", 0), 0u);
  EXPECT_EQ(host.messages[1].text, kStakesExclusiveAccess);
  EXPECT_FALSE(HasStep(b, "init.6"));  // nothing else is loaded
}

TEST(Startup, RestartWaitsForThePreviousCopy) {
  {
    StartRun r;
    int running = 3, waits = 0;
    r.hooks.OtherInstanceRunning = [&] { return running-- > 0; };
    r.hooks.Wait = [&](int ms) {
      EXPECT_EQ(ms, 100);
      ++waits;
    };
    TStartup st = r.Make({"restart"});
    EXPECT_TRUE(st.FormCreate());
    EXPECT_EQ(waits, 3);
  }
  {
    StartRun r;
    int waits = 0;
    r.hooks.OtherInstanceRunning = [] { return true; };
    r.hooks.Wait = [&](int) { ++waits; };
    TStartup st = r.Make({"restart"});
    EXPECT_FALSE(st.FormCreate());
    EXPECT_EQ(waits, 601);
    EXPECT_TRUE(st.EndRequested());
    EXPECT_FALSE(HasStep(st, "create.7"));
    EXPECT_FALSE(r.Has("timer"));
  }
  {
    // Without the switch nobody waits.
    StartRun r;
    r.hooks.OtherInstanceRunning = [] { return true; };
    TStartup st = r.Make({});
    EXPECT_TRUE(st.FormCreate());
  }
}

TEST(Startup, LanguageFirstStartAndFailures) {
  {
    StartRun r("Language=1033\r\n");
    int chosen = 0;
    r.hooks.ChooseLanguage = [&](int lcid) { chosen = lcid; };
    TStartup st = r.Make({"no-language"});
    ASSERT_TRUE(st.FormCreate());
    EXPECT_EQ(chosen, 1049);
  }
  {
    // The first start: "PrefetchsInit" 1, "PrefetchsEnabled" 0 and the norm columns hidden; not again later.
    StartRun r;
    int normColumns = 0;
    r.hooks.ShowNormColumns = [&](bool on) {
      EXPECT_FALSE(on);
      ++normColumns;
    };
    ASSERT_TRUE(r.Make({}).FormCreate());
    IniFile ini(r.dir.File("Quintar_7x35.frm"));
    EXPECT_EQ(ini.ReadString("TFormMain", "PrefetchsInit", ""), "1");
    EXPECT_EQ(ini.ReadString("TFormMain", "PrefetchsEnabled", ""), "0");
    ASSERT_TRUE(r.Make({}).FormCreate());
    EXPECT_EQ(normColumns, 1);
  }
  {
    // A failure reading the window settings is shown and creation goes on.
    StartRun r;
    r.hooks.ReadWindowSettings = [] { throw EQuintar("плохие параметры"); };
    TStartup st = r.Make({});
    EXPECT_TRUE(st.FormCreate());
    ASSERT_EQ(r.host.messages.size(), 1u);
    EXPECT_EQ(r.host.messages[0].text, "Ошибка загрузки параметров программы!\r\rплохие параметры");
    EXPECT_TRUE(r.Has("timer"));
  }
  {
    // Any other failure skips the rest, the timer included.
    StartRun r;
    r.hooks.SetUpViews = [] { throw EQuintar("нет окна"); };
    TStartup st = r.Make({});
    EXPECT_FALSE(st.FormCreate());
    EXPECT_EQ(r.host.messages.back().text, "Ошибка запуска программы!\r\rнет окна");
    EXPECT_FALSE(r.Has("timer"));
  }
  {
    // A failing initialisation step keeps what was loaded and skips the rest.
    StartRun r("DownloadDrawsOnStart=2\r\nAutoUpdates=0\r\nFirstRun=1\r\n");
    r.hooks.LoadTables = [] { throw EQuintar("таблицы"); };
    TStartup st = r.Make({});
    ASSERT_TRUE(st.FormCreate());
    EXPECT_FALSE(st.InitTimer());
    EXPECT_EQ(r.host.messages.back().text, "Ошибка инициализации программы!\r\rтаблицы");
    EXPECT_TRUE(r.s.StakesOpen());
    EXPECT_FALSE(r.Has("firstrun"));
    EXPECT_FALSE(st.EndRequested());
  }
  {
    StartRun r("DownloadDrawsOnStart=2\r\nAutoUpdates=0\r\nFirstRun=1\r\n");
    TStartup st = r.Make({});
    ASSERT_TRUE(st.FormCreate());
    ASSERT_TRUE(st.InitTimer());
    EXPECT_TRUE(r.Has("firstrun"));
  }
}

TEST(Startup, CloseAndShutdownWriteTheSettingsInOrder) {
  StartRun r("DownloadDrawsOnStart=2\r\nAutoUpdates=0\r\n");
  r.hooks.ScriptStop = [&] { r.trace.push_back("scriptstop"); };
  r.hooks.SaveWindowPlacement = [&](IniFile& ini) {
    r.trace.push_back("placement");
    ini.WriteString("TFormMain", "NormPos", "1,2,3,4");
  };
  r.hooks.WriteShutdownKeys = [&](IniFile& ini) {
    r.trace.push_back("keys");
    ini.WriteInteger("TFormMain", "LeftPanelWidth", 321);
  };
  r.hooks.SaveListLayouts = [&](IniFile& ini) {
    r.trace.push_back("layouts");
    ini.WriteString("TFormMain", "sgStakes.Widths", "50");
  };
  r.hooks.ReleaseTables = [&] { r.trace.push_back("tables"); };
  TStartup st = r.Make({});
  ASSERT_TRUE(st.FormCreate());
  ASSERT_TRUE(st.InitTimer());
  r.s.CombsExclude = 4;

  // Closing during a script run asks the script to stop, then closes.
  r.s.ScriptRunning = true;
  EXPECT_TRUE(st.FormCloseQuery());
  EXPECT_TRUE(r.s.StopRequested);
  EXPECT_TRUE(st.FormCloseQuery());
  EXPECT_EQ(std::count(r.trace.begin(), r.trace.end(), "scriptstop"), 1);

  r.trace.clear();
  st.FormDestroy();
  EXPECT_EQ(r.trace, (std::vector<std::string>{"placement", "keys", "layouts", "tables"}));
  IniFile ini(r.dir.File("Quintar_7x35.frm"));
  EXPECT_EQ(ini.ReadString("TFormMain", "NormPos", ""), "1,2,3,4");
  EXPECT_EQ(ini.ReadInteger("TFormMain", "LeftPanelWidth", 0), 321);
  EXPECT_EQ(ini.ReadInteger("TFormMain", "DrawsExclude", 0), 4);
  EXPECT_EQ(ini.ReadString("TFormMain", "sgStakes.Widths", ""), "50");
  // The data is released and the stakes file closed: another copy can open it now.
  EXPECT_FALSE(r.s.StakesOpen());
  EXPECT_EQ(r.s.CurrentCombs.Count(), 0);
  EXPECT_EQ(r.s.Archive.Count(), 0);
  ScriptedHost host;
  Session next(r.dir.Path(), host);
  EXPECT_TRUE(next.LoadStakes());
}
