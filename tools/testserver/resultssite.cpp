#include "resultssite.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

#include "game/drawarchive.h"
#include "util/format.h"

namespace quintar::testserver {

namespace {

struct FaultNameRow {
  Fault fault;
  const char* name;
};
const FaultNameRow kFaultNames[] = {
    {Fault::NoPast, "no-past"},
    {Fault::NoEnd, "no-end"},
    {Fault::Truncated, "truncated"},
    {Fault::Cut, "cut"},
    {Fault::Http500, "http500"},
    {Fault::Slow, "slow"},
    {Fault::Stall, "stall"},
    {Fault::Gzip, "gzip"},
    {Fault::Deflate, "deflate"},
    {Fault::Redirect, "redirect"},
    {Fault::BadDraw, "bad-draw"},
    {Fault::BadBonus, "bad-bonus"},
    {Fault::FewNumbers, "few-numbers"},
    {Fault::DupBlock, "dup-block"},
    {Fault::BadDate, "bad-date"},
    {Fault::Ascending, "ascending"},
};

const char* const kMonthNames[12] = {"january", "february", "march",     "april",   "may",      "june",
                                     "july",    "august",   "september", "october", "november", "december"};

bool Has(const std::vector<Fault>& faults, Fault f) {
  return std::find(faults.begin(), faults.end(), f) != faults.end();
}

// Compresses with zlib: windowBits 31 gives the gzip wrapper, 15 the zlib ("deflate") one.
std::string Compress(const std::string& data, int windowBits) {
  z_stream zs{};
  if (deflateInit2(&zs, Z_BEST_SPEED, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2");
  std::string out(deflateBound(&zs, static_cast<uLong>(data.size())) + 32, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  int rc = deflate(&zs, Z_FINISH);
  deflateEnd(&zs);
  if (rc != Z_STREAM_END) throw std::runtime_error("deflate");
  out.resize(zs.total_out);
  return out;
}

std::string IsoDate(const TDraw& d) {
  int v = DateToInt(TextToDrawDate(d.Date()));
  return Format("%d-%.2d-%.2d", {v / 10000, v / 100 % 100, v % 100});
}

// One draw as the site's JSON lays it out.
std::string DrawJson(const TDraw& d, const std::string& isoDate, int mainCount) {
  std::string s =
      Format("{\"drawNo\":%d,\"drawDate\":\"%sT20:30:00+10:00\",\"drawName\":\"Powerball\",", {d.Number, isoDate});
  s += "\"numberSets\":[{\"name\":\"Main numbers\",\"numbers\":[";
  for (int i = 0; i < mainCount; ++i) {
    if (i) s += ",";
    s += Format("{\"number\":%d,\"order\":%d}", {static_cast<int>(d.Nums[i]), i + 1});
  }
  s += "]},{\"name\":\"Powerball\",\"numbers\":[";
  s += Format("{\"number\":%d,\"order\":1}", {static_cast<int>(d.Bonus)});
  s += "]}],\"divisions\":[{\"division\":1,\"winners\":0,\"prize\":0},"
       "{\"division\":2,\"winners\":3,\"prize\":12500.5}]}";
  return s;
}

}  // namespace

const char* FaultName(Fault f) {
  for (const auto& row : kFaultNames)
    if (row.fault == f) return row.name;
  return "";
}

bool FaultFromName(const std::string& name, Fault& f) {
  for (const auto& row : kFaultNames)
    if (name == row.name) {
      f = row.fault;
      return true;
    }
  return false;
}

int MonthFromPageName(const std::string& name) {
  size_t dash = name.rfind('-');
  if (dash == std::string::npos || dash + 5 != name.size()) return 0;
  int year = 0;
  for (size_t i = dash + 1; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    year = year * 10 + (name[i] - '0');
  }
  for (int m = 0; m < 12; ++m)
    if (name.compare(0, dash, kMonthNames[m]) == 0 && dash == std::string(kMonthNames[m]).size())
      return year * 100 + m + 1;
  return 0;
}

ResultsSite::ResultsSite() = default;
ResultsSite::~ResultsSite() { Stop(); }

void ResultsSite::SetDraws(const std::vector<TDraw>& draws) {
  std::lock_guard<std::mutex> lock(mutex_);
  byMonth_.clear();
  for (const TDraw& d : draws) byMonth_[DateToInt(TextToDrawDate(d.Date())) / 100].push_back(d);
  for (auto& [month, list] : byMonth_)
    std::stable_sort(list.begin(), list.end(), [](const TDraw& a, const TDraw& b) {
      return DateToInt(TextToDrawDate(a.Date())) > DateToInt(TextToDrawDate(b.Date()));
    });
}

void ResultsSite::LoadCsv(const std::string& path) {
  TDrawArchive a;
  a.ImportCsv(path);
  SetDraws(a.Draws());
}

void ResultsSite::AddFault(Fault f, int month, int times) {
  std::lock_guard<std::mutex> lock(mutex_);
  rules_.push_back({f, month, times});
}

void ResultsSite::ClearFaults() {
  std::lock_guard<std::mutex> lock(mutex_);
  rules_.clear();
}

void ResultsSite::SetSlowMs(int ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  slowMs_ = ms;
}

void ResultsSite::SetProxies(const std::vector<std::string>& entries) {
  std::lock_guard<std::mutex> lock(mutex_);
  proxies_ = entries;
}

std::vector<Fault> ResultsSite::TakeFaults(int month) {
  std::vector<Fault> out;
  for (Rule& r : rules_) {
    if ((r.month != 0 && r.month != month) || r.times == 0) continue;
    if (r.times > 0) --r.times;
    out.push_back(r.fault);
  }
  return out;
}

std::string ResultsSite::MonthPage(int month, const std::vector<Fault>& faults) const {
  std::vector<TDraw> draws;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = byMonth_.find(month);
    if (it != byMonth_.end()) draws = it->second;
  }
  if (Has(faults, Fault::Ascending)) std::reverse(draws.begin(), draws.end());
  std::string list;
  for (size_t i = 0; i < draws.size(); ++i) {
    TDraw d = draws[i];
    std::string iso = IsoDate(d);
    int mainCount = NUMS_IN_DRAW;
    if (i == 0) {
      if (Has(faults, Fault::BadDraw)) d.Nums[1] = d.Nums[0];
      if (Has(faults, Fault::BadBonus)) d.Bonus = MAX_BONUS + 1;
      if (Has(faults, Fault::FewNumbers)) mainCount = NUMS_IN_DRAW - 1;
      if (Has(faults, Fault::BadDate)) iso = iso.substr(0, 8) + "3x";
    }
    if (!list.empty()) list += ",";
    list += DrawJson(d, iso, mainCount);
    if (i == 0 && Has(faults, Fault::DupBlock)) {
      TDraw other = d;
      std::reverse(other.Nums, other.Nums + NUMS_IN_DRAW);
      other.Bonus = static_cast<uint8_t>(d.Bonus % MAX_BONUS + 1);
      list += "," + DrawJson(other, iso, mainCount);
    }
  }
  const std::string title = "Powerball results " + MonthPageName(month);
  std::string page = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" + title +
                     "</title></head>\n<body><h1>" + title +
                     " — результаты, 抽選</h1>\n<script id=\"__NEXT_DATA__\" type=\"application/json\">"
                     "{\"props\":{\"pageProps\":{\"game\":{\"name\":\"Powerball\",\"rules\":{\"main\":7,\"range\":35}},"
                     "\"drawsNext\":{\"drawNo\":0,\"jackpot\":{\"amount\":3000000}},";
  if (!Has(faults, Fault::NoPast))
    page += "\"drawsPast\":[" + list + "]";
  else
    page += "\"drawsArchive\":[]";
  if (Has(faults, Fault::NoEnd)) {
    page += "</script></body></html>\n";
    return page;
  }
  page += "}},\"page\":\"/powerball/results/[month]\",\"query\":{\"month\":\"" + MonthPageName(month) +
          "\"}}</script>\n</body></html>\n";
  if (Has(faults, Fault::Truncated)) {
    size_t cut = page.find("\"numberSets\"");
    if (cut == std::string::npos) cut = page.size() / 2;
    page.resize(cut + 20);
  }
  return page;
}

int ResultsSite::Start(int port) {
  server_ = std::make_unique<HttpServer>([this](const HttpRequest& req, HttpConnection& conn) { Handle(req, conn); });
  return server_->Start(port);
}

void ResultsSite::Stop() {
  if (server_) server_->Stop();
}

std::string ResultsSite::BaseUrl() const { return server_ ? server_->BaseUrl() : ""; }

int ResultsSite::PageRequests(int month) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = pageRequests_.find(month);
  return it == pageRequests_.end() ? 0 : it->second;
}

int ResultsSite::TotalPageRequests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  int n = 0;
  for (const auto& [m, c] : pageRequests_) n += c;
  return n;
}

int ResultsSite::ProxiedRequests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return proxied_;
}

std::vector<std::string> ResultsSite::DirectoryQueries() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return directoryQueries_;
}

std::string ResultsSite::LastHeader(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = lastHeaders_.find(name);
  return it == lastHeaders_.end() ? "" : it->second;
}

void ResultsSite::Handle(const HttpRequest& req, HttpConnection& conn) {
  const std::vector<std::pair<std::string, std::string>> html = {{"Content-Type", "text/html; charset=utf-8"}};
  const bool proxied = req.target.rfind("http://", 0) == 0;
  int slowMs;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (proxied) ++proxied_;
    for (const char* h : {"Accept", "Accept-Encoding", "User-Agent"}) lastHeaders_[h] = req.Header(h);
    slowMs = slowMs_;
  }
  if (req.path == "/proxies") {
    std::vector<std::string> entries;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      directoryQueries_.push_back(req.query);
      entries = proxies_;
    }
    size_t offset = 0;
    for (const auto& [k, v] : req.QueryItems())
      if (k == "offset") offset = static_cast<size_t>(std::max(0, std::atoi(v.c_str())));
    std::string page = "<html><body><table>\n<tr><th>Proxy</th><th>Type</th><th>Uptime</th></tr>\n";
    for (size_t i = offset; i < entries.size() && i < offset + 15; ++i) {
      std::string slashForm = entries[i];
      std::replace(slashForm.begin(), slashForm.end(), ':', '/');
      page += "<tr><td><a href=\"/" + slashForm + "#http\">" + entries[i] + "</a></td><td>HTTP</td><td>97%</td></tr>\n";
    }
    page += "</table></body></html>\n";
    conn.SendResponse(200, "OK", html, page);
    return;
  }
  std::string path = req.path;
  const bool redirected = path.rfind("/r/", 0) == 0;
  if (redirected) path = path.substr(2);
  const std::string prefix = "/powerball/results/";
  if (path.rfind(prefix, 0) != 0) {
    if (path == "/") {
      conn.SendResponse(200, "OK", html, "<html><body><h1>Powerball results</h1></body></html>\n");
    } else {
      conn.SendResponse(404, "Not Found", html, "<html><body>Not found</body></html>\n");
    }
    return;
  }
  const int month = MonthFromPageName(path.substr(prefix.size()));
  if (month == 0) {
    conn.SendResponse(404, "Not Found", html, "<html><body>Not found</body></html>\n");
    return;
  }
  std::vector<Fault> faults;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++pageRequests_[month];
    faults = TakeFaults(month);
  }
  if (Has(faults, Fault::Redirect) && !redirected) {
    conn.SendResponse(302, "Found", {{"Location", "/r" + path}, {"Content-Type", "text/html"}}, "<html>Moved</html>");
    return;
  }
  if (Has(faults, Fault::Slow) && !conn.Sleep(slowMs)) return;
  if (Has(faults, Fault::Http500)) {
    conn.SendResponse(500, "Internal Server Error", html, "<html><body>Internal Server Error</body></html>\n");
    return;
  }
  std::string body = MonthPage(month, faults);
  auto headers = html;
  if (Has(faults, Fault::Gzip)) {
    body = Compress(body, 31);
    headers.emplace_back("Content-Encoding", "gzip");
  } else if (Has(faults, Fault::Deflate)) {
    body = Compress(body, 15);
    headers.emplace_back("Content-Encoding", "deflate");
  }
  if (Has(faults, Fault::Cut)) {
    conn.Send(HttpConnection::ResponseHead(200, "OK", headers, body.size()) + body.substr(0, body.size() / 2));
    return;
  }
  if (Has(faults, Fault::Stall)) {
    if (!conn.Send(HttpConnection::ResponseHead(200, "OK", headers, body.size()) + body.substr(0, body.size() / 2)))
      return;
    if (!conn.Sleep(slowMs)) return;
    conn.Send(body.substr(body.size() / 2));
    return;
  }
  conn.SendResponse(200, "OK", headers, body);
}

}  // namespace quintar::testserver
