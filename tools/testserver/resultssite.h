// A stand-in for the lottery's results site: one page per month ("/powerball/results/march-2017") with the
// month's draws embedded as JSON text, newest first, as the real site lays them out; fault switches that
// damage or delay the answers; a proxy directory ("/proxies"); and requests through it as an HTTP proxy
// (absolute targets) are served too and counted.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "game/game.h"
#include "httpserver.h"

namespace quintar::testserver {

enum class Fault {
  NoPast,      // the page lacks the "drawsPast" list
  NoEnd,       // the page ends without the marker that closes the list
  Truncated,   // the page text is cut in the middle of the first draw (a complete, short answer)
  Cut,         // the connection is closed halfway through the announced body
  Http500,     // "500 Internal Server Error"
  Slow,        // nothing is sent for SlowMs after the request
  Stall,       // half the body, then a pause of SlowMs, then the rest
  Gzip,        // the body is gzip-encoded
  Deflate,     // the body is deflate-encoded
  Redirect,    // "302 Found" to /r/powerball/results/<month>
  BadDraw,     // the newest draw of the page repeats a main number
  BadBonus,    // the newest draw of the page has the bonus 21
  FewNumbers,  // the newest draw of the page lists six main numbers
  DupBlock,    // the newest draw's block comes twice in a row, the second time with other numbers
  BadDate,     // the newest draw's date cannot be read
  Ascending,   // the page lists the draws oldest first
};

// Name used on the command line ("no-past", "http500", ...), and back; false for an unknown name.
const char* FaultName(Fault f);
bool FaultFromName(const std::string& name, Fault& f);

class ResultsSite {
 public:
  ResultsSite();
  ~ResultsSite();

  // The draws the site knows (any order). LoadCsv reads the program's CSV exchange form.
  void SetDraws(const std::vector<TDraw>& draws);
  void LoadCsv(const std::string& path);

  // A fault for one month (year * 100 + month; 0 = every month), applied to the next `times` answers of
  // that month (-1: always).
  void AddFault(Fault f, int month = 0, int times = -1);
  void ClearFaults();
  void SetSlowMs(int ms);
  // Entries of the proxy directory ("host:port"), 15 a page.
  void SetProxies(const std::vector<std::string>& entries);

  // The page of a month with the given faults applied to its text.
  std::string MonthPage(int month, const std::vector<Fault>& faults = {}) const;

  int Start(int port = 0);  // returns the port
  void Stop();
  std::string BaseUrl() const;

  // What was asked: month page requests per month, requests that came through as a proxy, the query
  // strings of the proxy directory requests and the Accept-Encoding/User-Agent headers last seen.
  int PageRequests(int month) const;
  int TotalPageRequests() const;
  int ProxiedRequests() const;
  std::vector<std::string> DirectoryQueries() const;
  std::string LastHeader(const std::string& name) const;

  void Handle(const HttpRequest& req, HttpConnection& conn);

 private:
  std::vector<Fault> TakeFaults(int month);

  struct Rule {
    Fault fault;
    int month;
    int times;
  };
  mutable std::mutex mutex_;
  std::map<int, std::vector<TDraw>> byMonth_;  // newest first
  std::vector<Rule> rules_;
  std::vector<std::string> proxies_;
  int slowMs_ = 3000;
  std::map<int, int> pageRequests_;
  int proxied_ = 0;
  std::vector<std::string> directoryQueries_;
  std::map<std::string, std::string> lastHeaders_;
  std::unique_ptr<HttpServer> server_;
};

// Month page name ("march-2017") to year * 100 + month; 0 when it is not one.
int MonthFromPageName(const std::string& name);

}  // namespace quintar::testserver
