// Script tests over the real archive, each run twice with the same RAND seed: on one thread, then on the
// cores there are. The stakes files must be the same byte for byte; the times are those of the second run.
//  - ScriptTest100: three lines of three filters each (full and excluded starting lists; random, first
//    and all-combinations stakes) for each of the last 100 draws.
//  - ScriptTest400: five lines over the numbers, sums, channels, repeats and pairs, two of them with
//    variants, for each of the last 400 draws.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

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

const std::vector<std::string> kScript100 = {
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

const std::vector<std::string> kScript400 = {
    // Two windows for the numbers not seen lately (2 variants), then the rare sums and the 3 most
    // frequent channel values; one random stake each.
    "FULL:0#RAND|TMD1#NUMS:30,40#LMV:10#SF:1|TMD1#SUMS:100#CLV:1#SF:1|TMF1#CHAN:50#LNO:#ST:3|",
    // Numbers one by one down to 5000 combinations, the repeat counts of the last two draws, then pairs
    // one by one down to 200; the first of them.
    "EXCL:5#FIRST|TSF1#NUMS:40#LNO:#SC:5000|TMD1#RPV2:50#LLV:2#SF:1|TSF1#KNM2:100#LNO:#SC:200|",
    // On what the line before left: small-number counts one by one; every combination a new stake.
    "CURR:0#ALL#NEX|TSF1#SMAL:20#LNO:#SC:10|",
    // The 40 most frequent sums, then the channel values seen at least 10 or 20 times (2 variants).
    "EXCL:5#LAST|TMF1#SUMS:100#LNO:#ST:40|TMF1#CHAN:30#CMV:10,20#SF:1|",
    // The 20 most frequent sums, then the 4 most frequent pairs; skipped unless one is left.
    "FULL:0#SKIP|TMF1#SUMS:100#LNO:#ST:20|TMF1#KNM2:60#LNO:#ST:4|",
};

struct TRunFigures {
  double Wall = 0, Cpu = 0;
  int StakesMade = 0, Records = 0;
  std::string StakesFile;
  std::vector<std::string> Messages;
};

TRunFigures RunTest(const std::string& csv, const std::vector<std::string>& lines, int tests, int threads) {
  const std::string dir = (std::filesystem::temp_directory_path() /
                           ("quintar-bench-script-" + std::to_string(::getpid()) + "-" + std::to_string(threads)))
                              .string();
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  TRunFigures f;
  {
    QuietHost host;
    Session s(dir, host);
    s.StartCatalogue();
    s.ReserveCombsLists();
    s.LoadStakes();
    s.DrawsImport(csv);
    s.ScriptLines = lines;
    s.ScriptSettings.Threads = threads;
    s.ScriptSettings.Seed = 20261210;
    const double t0 = bench::NowSeconds();
    const double c0 = bench::CpuSeconds();
    s.ScriptTest(tests);
    f.Wall = bench::NowSeconds() - t0;
    f.Cpu = bench::CpuSeconds() - c0;
    f.StakesMade = s.ScriptStakeCount;
    f.Records = s.Stakes.Count();
    f.Messages = host.messages;
    s.CloseStakesFile();
    std::ifstream in(dir + "/Quintar_7x35.lsk", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    f.StakesFile = bytes.str();
  }
  std::filesystem::remove_all(dir);
  return f;
}

// Both runs, the comparison and the figures. Targets in seconds of wall and CPU time of the run on the
// cores there are (CPU time 0: none).
void BenchScript(bench::Report& report, const char* name, const std::vector<std::string>& lines, int tests,
                 int minStakes, double wallTarget, double cpuTarget) {
  const std::string csv = bench::SharedDataFile("draws-7x35-import.csv");
  if (csv.empty()) {
    report.Info(std::string(name) + ": the real archive is missing, skipped");
    return;
  }
  bench::ResetPeakResident();  // the peak of these two runs, not of the benches before them
  const TRunFigures one = RunTest(csv, lines, tests, 1);
  const TRunFigures all = RunTest(csv, lines, tests, 0);
  for (const auto& m : all.Messages) report.Info("message: " + m);
  report.Line(std::string(name) + " stakes", Format("%d stakes, %d records", {all.StakesMade, all.Records}),
              "stakes made", all.StakesMade >= minStakes && all.Messages.empty());
  report.Line(std::string(name) + " stakes file", all.StakesFile == one.StakesFile ? "identical" : "DIFFERENT",
              "as on one thread", all.StakesFile == one.StakesFile && !all.StakesFile.empty());
  report.Seconds(Format("%s (%d lines, %d draws), all cores; one thread %.1f s", {name, static_cast<int>(lines.size()),
                                                                                  tests, one.Wall}),
                 all.Wall, wallTarget);
  const std::string cpuText = Format("%.1f s (one thread %.1f s)", {all.Cpu, one.Cpu});
  if (cpuTarget > 0)
    report.Line(std::string(name) + " CPU time of all threads", cpuText, Format("<= %.1f s", {cpuTarget}),
                all.Cpu <= cpuTarget);
  else
    report.Info(std::string(name) + " CPU time of all threads: " + cpuText);
  const double peak = bench::PeakResidentMiB();
  report.Line(std::string(name) + " peak resident memory", Format("%.1f MiB", {peak}), "<= 400 MiB", peak <= 400.0);
  report.Info(Format("%s resident after the runs: %.1f MiB (the workers' lists are freed)", {name, bench::ResidentMiB()}));
}

}  // namespace

QUINTAR_BENCH(ScriptTest100) { BenchScript(report, "ScriptTest100", kScript100, 100, 200, 5.0, 10.0); }

QUINTAR_BENCH(ScriptTest400) { BenchScript(report, "ScriptTest400", kScript400, 400, 2000, 60.0, 0); }
