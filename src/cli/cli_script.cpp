// quintar-cli script ...: runs a script file headless over the data folder, as the desktop program runs
// its script: a forecast at the draws offset, or a test over the last N offsets. The stakes it makes go
// to the stakes file, checked stakes to the rating.
#include <cstdio>

#include "cli.h"
#include "scripts/scriptrun.h"
#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar::cli {

namespace {

// What the desktop program has in hand before its script page can run: the window keys, the catalogue
// with its choosers, the three combination lists with the default list, the stakes file, the archive
// and the rating.
bool StartSession(Context& c) {
  Session& s = c.session;
  s.ReadFormKeys();
  s.ReadDrawsStatKeys();
  s.StartCatalogue();
  s.ReserveCombsLists();
  if (!s.LoadStakes()) return false;
  s.LoadArchive();
  if (c.host.errors) return false;
  s.LoadRating(true);
  s.GenerateCombs(true, s.Stats.CombsGen);
  return c.host.errors == 0;
}

int Run(Context& c, bool test) {
  if (c.args.positional.size() != 1) throw UsageError("script: нужен один файл сценария");
  const std::string path = c.args.positional[0];
  const bool log = c.args.Has("log");
  int tests = 0;
  if (test) {
    if (!c.args.Has("tests")) throw UsageError("script test: нужно --tests=N");
    tests = IntOption(c.args, "tests", 0);
    if (tests < 1) throw UsageError("--tests: количество тестов от 1");
  }
  const int offset = IntOption(c.args, "offset", 0);
  if (offset < 0) throw UsageError("--offset: смещение от 0 до 2147483647");
  const int threads = IntOption(c.args, "threads", 0);
  if (threads < 0 || threads > 64) throw UsageError("--threads: от 0 (все ядра) до 64");
  uint64_t seed = 0;
  if (c.args.Has("seed")) {
    auto v = TryStrToInt64(*c.args.Get("seed"));
    if (!v || *v <= 0) throw UsageError("--seed: целое число от 1");
    seed = static_cast<uint64_t>(*v);
  }
  if (!FileExists(path)) {
    PrintError(Format("Файл \"%s\" не найден.", {path}));
    return kFailed;
  }

  Session& s = c.session;
  if (!StartSession(c)) return kFailed;
  if (s.Archive.Empty()) {
    PrintError("Архив тиражей пуст.");
    return kFailed;
  }
  if (!s.LoadScriptFile(path, false)) return kFailed;
  if (s.ScriptLines.empty()) {
    PrintError("Сценарий пуст.");
    return kFailed;
  }
  s.SetDrawsOffset(offset);
  s.ScriptSettings.Threads = threads;
  s.ScriptSettings.Seed = seed;
  if (log) {
    // Logging for this run only: the switch in the window settings stays as it is.
    s.ScriptLogEnabled = true;
    s.ScriptLogEcho = [](const std::string& text) {
      PrintLine(text);
      std::fflush(stdout);
    };
  }
  const int stakesBefore = s.Stakes.Count();
  if (test) {
    if (tests > s.ScriptTestsMax()) {
      PrintError(Format("--tests: не более %d для этого архива.", {s.ScriptTestsMax()}));
      return kFailed;
    }
    s.ScriptTest(tests);
  } else {
    s.ScriptRun();
  }
  s.ScriptLogEcho = nullptr;
  PrintLine(Format("Ставок: %d", {s.ScriptStakeCount}));
  PrintLine(Format("Записей в файле ставок: %d (было %d)", {s.Stakes.Count(), stakesBefore}));
  s.CloseStakesFile();
  return c.host.errors ? kFailed : kOk;
}

}  // namespace

int RunScript(Context& c) {
  if (c.args.positional.empty()) throw UsageError("script: нужна подкоманда");
  std::string sub = c.args.positional.front();
  c.args.positional.erase(c.args.positional.begin());
  if (sub == "run") return Run(c, false);
  if (sub == "test") return Run(c, true);
  throw UsageError("script: неизвестная подкоманда " + sub);
}

}  // namespace quintar::cli
