#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "bench.h"

namespace quintar::bench {

namespace {
std::vector<std::pair<std::string, BenchFn>>& Registry() {
  static std::vector<std::pair<std::string, BenchFn>> r;
  return r;
}

double StatusMiB(const char* key) {
  std::ifstream f("/proc/self/status");
  std::string line;
  while (std::getline(f, line))
    if (line.rfind(key, 0) == 0) return std::atof(line.c_str() + std::strlen(key)) / 1024.0;
  return 0;
}
}  // namespace

Registrar::Registrar(const char* name, BenchFn fn) { Registry().emplace_back(name, std::move(fn)); }

void Report::Line(const std::string& name, const std::string& value, const std::string& target, bool ok) {
  std::printf("%-48s %14s   target %-14s %s\n", name.c_str(), value.c_str(), target.c_str(), ok ? "ok" : "FAILED");
  std::fflush(stdout);
  if (!ok) ++failures;
}

void Report::Seconds(const std::string& name, double seconds, double targetSeconds) {
  char v[64], t[64];
  std::snprintf(v, sizeof v, "%.4f s", seconds);
  std::snprintf(t, sizeof t, "<= %.3f s", targetSeconds);
  Line(name, v, t, seconds <= targetSeconds);
}

void Report::Ratio(const std::string& name, double seconds, double referenceSeconds, double targetRatio) {
  double ratio = referenceSeconds > 0 ? seconds / referenceSeconds : 0;
  char v[96], t[64];
  std::snprintf(v, sizeof v, "%.4f s x%.2f", seconds, ratio);
  std::snprintf(t, sizeof t, "<= x%.2f", targetRatio);
  Line(name, v, t, ratio <= targetRatio);
}

void Report::Info(const std::string& text) {
  std::printf("  %s\n", text.c_str());
  std::fflush(stdout);
}

double NowSeconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double CpuSeconds() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double ResidentMiB() { return StatusMiB("VmRSS:"); }
double PeakResidentMiB() { return StatusMiB("VmHWM:"); }

bool ResetPeakResident() {
  std::ofstream f("/proc/self/clear_refs");
  f << "5";
  f.flush();
  return static_cast<bool>(f);
}

std::string SharedDataFile(const std::string& name) {
  std::string p = std::string(QUINTAR_SHARED_DATA) + "/" + name;
  return std::filesystem::exists(p) ? p : "";
}

const quintar::TCombsArray& AllCombs() {
  static const quintar::TCombsArray all = [] {
    quintar::TCombsArray v;
    v.reserve(quintar::COMBS_TOTAL);
    quintar::TComb c{};
    for (int a = 1; a <= 29; ++a)
      for (int b = a + 1; b <= 30; ++b)
        for (int d = b + 1; d <= 31; ++d)
          for (int e = d + 1; e <= 32; ++e)
            for (int f = e + 1; f <= 33; ++f)
              for (int g = f + 1; g <= 34; ++g)
                for (int h = g + 1; h <= 35; ++h) {
                  c = {{static_cast<uint8_t>(a), static_cast<uint8_t>(b), static_cast<uint8_t>(d), static_cast<uint8_t>(e),
                        static_cast<uint8_t>(f), static_cast<uint8_t>(g), static_cast<uint8_t>(h)}};
                  v.push_back(c);
                }
    return v;
  }();
  return all;
}

double Time(const std::function<void()>& fn, double minSeconds, int minRuns) {
  double best = 1e100, total = 0;
  int runs = 0;
  while (runs < minRuns || total < minSeconds) {
    double t0 = NowSeconds();
    fn();
    double dt = NowSeconds() - t0;
    total += dt;
    if (dt < best) best = dt;
    ++runs;
  }
  return best;
}

}  // namespace quintar::bench

int main(int argc, char** argv) {
  using namespace quintar::bench;
  Report report;
  std::string only = argc > 1 ? argv[1] : "";
  for (auto& [name, fn] : Registry()) {
    if (!only.empty() && name.find(only) == std::string::npos) continue;
    std::printf("== %s\n", name.c_str());
    fn(report);
  }
  std::printf("%s: %d target(s) missed\n", report.failures ? "FAILED" : "OK", report.failures);
  return report.failures ? 1 : 0;
}
