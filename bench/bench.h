// A small benchmark harness: each benchmark measures wall time (and, where it matters, resident memory),
// compares it with its named target and prints one line per measurement. The run fails when a target
// does not hold.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "game/game.h"

namespace quintar::bench {

struct Report {
  // Prints "name: value (target)" and records whether the target holds.
  void Line(const std::string& name, const std::string& value, const std::string& target, bool ok);
  void Seconds(const std::string& name, double seconds, double targetSeconds);
  void Ratio(const std::string& name, double seconds, double referenceSeconds, double targetRatio);
  void Info(const std::string& text);
  int failures = 0;
};

using BenchFn = std::function<void(Report&)>;
struct Registrar {
  Registrar(const char* name, BenchFn fn);
};

double NowSeconds();
// User and system CPU time of this process.
double CpuSeconds();
// Resident set size of this process in MiB (VmRSS), and its peak (VmHWM).
double ResidentMiB();
double PeakResidentMiB();
// Resets the peak so that VmHWM measures from here on (earlier benches of the run raised it); false when
// the kernel refuses.
bool ResetPeakResident();
// Path of a file of the real archive data, "" when missing.
std::string SharedDataFile(const std::string& name);

// All 6,724,520 combinations in ascending order (made once).
const quintar::TCombsArray& AllCombs();

// Times fn, repeating it until at least minSeconds have passed; returns seconds per run (best of runs).
double Time(const std::function<void()>& fn, double minSeconds = 0.2, int minRuns = 1);

// The same plain work on one thread, then on two at once, as a ratio: about x1 when the machine gives
// this process two free cores, about x2 when other work holds one of them.
double TwoThreadsReference();

}  // namespace quintar::bench

#define QUINTAR_BENCH(name) \
  static void name(quintar::bench::Report&); \
  static quintar::bench::Registrar name##_registrar(#name, name); \
  static void name(quintar::bench::Report& report)
