// quintar-testserver: a local stand-in for the results site and the update server, for tests and demos.
//
//   quintar-testserver [--port=N] [--draws=FILE.csv] [--fault=KIND[:MONTH[:TIMES]]]... [--slow-ms=MS]
//                      [--proxy=HOST:PORT]... [--update=UPDATE]
//
// Prints its base address (http://127.0.0.1:PORT) as the first line and serves until interrupted.
// MONTH is a page name ("june-2018"); KIND is one of no-past, no-end, truncated, cut, http500, slow, stall,
// gzip, deflate, redirect, bad-draw, bad-bonus, few-numbers, dup-block, bad-date, ascending. UPDATE makes
// the same port serve the update descriptor, its description and package under /files/autoupdates/: newer,
// same, wrong-checksum, no-checksum, truncated, failing or slow.
#include <pthread.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/game.h"
#include "resultssite.h"
#include "updatesite.h"

using namespace quintar;
using namespace quintar::testserver;

namespace {

int Usage(const std::string& why) {
  std::fprintf(stderr,
               "%s\nusage: quintar-testserver [--port=N] [--draws=FILE.csv] [--fault=KIND[:MONTH[:TIMES]]]... "
               "[--slow-ms=MS] [--proxy=HOST:PORT]... [--update=UPDATE]\n",
               why.c_str());
  return 2;
}

bool ReadInt(const std::string& s, int& v) {
  if (s.empty() || s.size() > 9 || s.find_first_not_of("0123456789") != std::string::npos) return false;
  v = std::atoi(s.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  InstallDrawDateHooks();
  ResultsSite site;
  UpdateSite update;
  bool updates = false;
  int port = 0;
  std::vector<std::string> proxies;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    size_t eq = a.find('=');
    std::string name = a.substr(0, eq), value = eq == std::string::npos ? "" : a.substr(eq + 1);
    if (name == "--port") {
      if (!ReadInt(value, port) || port > 65535) return Usage("--port: 0..65535");
    } else if (name == "--draws") {
      try {
        site.LoadCsv(value);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
      }
    } else if (name == "--fault") {
      std::string kind = value.substr(0, value.find(':'));
      std::string rest = value.find(':') == std::string::npos ? "" : value.substr(value.find(':') + 1);
      std::string monthName = rest.substr(0, rest.find(':'));
      std::string times = rest.find(':') == std::string::npos ? "" : rest.substr(rest.find(':') + 1);
      Fault f;
      if (!FaultFromName(kind, f)) return Usage("--fault: unknown kind " + kind);
      int month = 0, count = -1;
      if (!monthName.empty() && (month = MonthFromPageName(monthName)) == 0)
        return Usage("--fault: not a month page name: " + monthName);
      if (!times.empty() && !ReadInt(times, count)) return Usage("--fault: TIMES is a number");
      site.AddFault(f, month, count);
    } else if (name == "--slow-ms") {
      int ms;
      if (!ReadInt(value, ms)) return Usage("--slow-ms: a number");
      site.SetSlowMs(ms);
      update.SetSlowMs(ms);
    } else if (name == "--update") {
      UpdateKind k;
      if (!UpdateKindFromName(value, k)) return Usage("--update: unknown kind " + value);
      update.SetKind(k);
      updates = true;
    } else if (name == "--proxy") {
      proxies.push_back(value);
    } else if (name == "--help") {
      Usage("");
      return 0;
    } else {
      return Usage("unknown argument " + a);
    }
  }
  site.SetProxies(proxies);

  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);  // the server's threads inherit the mask
  HttpServer server([&](const HttpRequest& req, HttpConnection& conn) {
    if (updates && update.Handle(req, conn)) return;
    site.Handle(req, conn);
  });
  try {
    server.Start(port);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  std::printf("%s\n", server.BaseUrl().c_str());
  std::fflush(stdout);
  int sig = 0;
  sigwait(&set, &sig);
  server.Stop();
  return 0;
}
