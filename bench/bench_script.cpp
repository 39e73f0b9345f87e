// A script test over the real archive: three lines of three filters each (full and excluded starting
// lists; random, first and all-combinations stakes), run for each of the last 100 draws. Each pass
// generates the full list three times, computes nine statistics tables, filters the list and checks the
// stakes it made.
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "app/session.h"
#include "bench.h"
#include "util/format.h"

namespace {

using namespace quintar;

class QuietHost : public IHost {
 public:
  void ShowStatus(const std::string&) override {}
  void ShowMessage(MsgKind, const std::string& text) override { messages.push_back(text); }
  bool Ask(AskKind, const std::string&) override { return true; }
  std::vector<std::string> messages;
};

const char* const kScript[] = {
    // Delete the numbers not seen for 10 draws and more, the sums seen at most once in 100 draws, then
    // keep the even counts seen at least 20 times in 50 draws; one random stake.
    "FULL:0#RAND|TMD1#NUMS:30#LMV:10#SF:1|TMD1#SUMS:100#CLV:1#SF:1|TMF1#EVEN:50#CMV:20#SF:1|",
    // Without the last 5 draws: keep the 12 most frequent numbers of 40 draws, delete the sums of the
    // last 3 draws, keep the 3 most frequent even counts; the first combination.
    "EXCL:5#FIRST|TMF1#NUMS:40#LNO:#ST:12|TMD1#SUMS:50#LLV:3#SF:1|TMF1#EVEN:100#LNO:#ST:3|",
    // Keep one number after another until at most 50 combinations are left, then delete the sums seen
    // more than 3 times; all that is left becomes stakes.
    "EXCL:5#ALL|TSF1#NUMS:20#LNO:#SC:50|TMD1#SUMS:200#CMV:4#SF:1|TMD1#NUMS:10#LVA:99#SF:1|",
};

constexpr int kTests = 100;

// CPU time of the process (all its threads), user and system, in seconds.
double CpuSeconds() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

QUINTAR_BENCH(ScriptTest100) {
  const std::string csv = bench::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) {
    report.Info("ScriptTest100: the real archive is missing, skipped");
    return;
  }
  const std::string dir =
      (std::filesystem::temp_directory_path() / ("quintar-bench-script-" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(dir);
  {
    QuietHost host;
    Session s(dir, host);
    s.StartCatalogue();
    s.ReserveCombsLists();
    s.LoadStakes();
    s.DrawsImport(csv);
    for (const char* line : kScript) s.ScriptLines.push_back(line);
    const double t0 = bench::NowSeconds();
    const double c0 = CpuSeconds();
    s.ScriptTest(kTests);
    const double seconds = bench::NowSeconds() - t0;
    const double cpu = CpuSeconds() - c0;
    for (const auto& m : host.messages) report.Info("message: " + m);
    report.Line("ScriptTest100 stakes", std::to_string(s.ScriptStakeCount) + " stakes, " +
                                            std::to_string(s.Stakes.Count()) + " records",
                "stakes made", s.ScriptStakeCount >= 200 && host.messages.empty());
    report.Seconds("ScriptTest100 (3 lines x 3 filters, 100 draws)", seconds, 15.0);
    report.Info(Format("ScriptTest100 CPU time of all threads: %.1f s (the wall time above counts waits for the "
                       "processor on a busy machine)",
                       {cpu}));
    const double peak = bench::PeakResidentMiB();
    report.Line("ScriptTest100 peak resident memory", Format("%.1f MiB", {peak}), "<= 300 MiB", peak <= 300.0);
    s.CloseStakesFile();
  }
  std::filesystem::remove_all(dir);
}
