#include "online/download.h"

#include <algorithm>

#include "app/session.h"
#include "online/taggedtext.h"
#include "util/format.h"
#include "util/inifile.h"
#include "util/strutil.h"

// The compiled defaults of the service addresses are settings of the build (src/core/CMakeLists.txt).
#if !defined(QUINTAR_RESULTS_URL) || !defined(QUINTAR_LOTTERY_URL) || !defined(QUINTAR_PROXY_LIST_URL) || \
    !defined(QUINTAR_UPDATE_URL)
#error "The build defines QUINTAR_RESULTS_URL, QUINTAR_LOTTERY_URL, QUINTAR_PROXY_LIST_URL and QUINTAR_UPDATE_URL"
#endif

namespace quintar {

// Proxy settings ----------------------------------------------------------------------------------------

std::optional<TWebProxy> TProxy::Current() const {
  if (EffectiveMode() == 0 || Server.empty()) return std::nullopt;
  return TWebProxy{Server, Port, Username, Password};
}

void TProxy::ReadFrom(const IniFile& ini) {
  Server = ini.ReadString(kProxySection, "ProxyServer", "");
  Port = ini.ReadInteger(kProxySection, "ProxyPort", 80);
  Username = ini.ReadString(kProxySection, "ProxyUsername", "");
  Password = ini.ReadString(kProxySection, "ProxyPassword", "");
  Mode = ini.ReadInteger(kProxySection, "ProxyMode", Server.empty() ? 0 : 2);
  Saved = true;
}

void TProxy::WriteTo(IniFile& ini) {
  ini.WriteString(kProxySection, "ProxyServer", Server);
  ini.WriteInteger(kProxySection, "ProxyPort", Port);
  ini.WriteString(kProxySection, "ProxyUsername", Username);
  ini.WriteString(kProxySection, "ProxyPassword", Password);
  ini.WriteInteger(kProxySection, "ProxyMode", Mode);
  Saved = true;
}

TOnlineAddresses TOnlineAddresses::Defaults() {
  return {QUINTAR_RESULTS_URL, QUINTAR_LOTTERY_URL, QUINTAR_PROXY_LIST_URL, TCatalogueSettings::Defaults(),
          QUINTAR_UPDATE_URL};
}

void TOnlineAddresses::ReadFrom(const IniFile& ini) {
  auto read = [&](const char* key, std::string& field) {
    std::string v = Trim(ini.ReadString(kOnlineSection, key, ""));
    if (!v.empty()) field = v;
  };
  read("ResultsUrl", ResultsUrl);
  read("LotteryUrl", LotteryUrl);
  read("ProxyListUrl", ProxyListUrl);
  Catalogue.ReadFrom(ini);
  read("UpdateUrl", UpdateUrl);
}

// Addresses and pages ------------------------------------------------------------------------------------

int NextMonth(int m) { return m % 100 > 11 ? (m / 100 + 1) * 100 + 1 : m + 1; }

std::string MonthPageUrl(const std::string& baseUrl, int month) {
  std::string base = baseUrl;
  while (!base.empty() && base.back() == '/') base.pop_back();
  return base + "/powerball/results/" + MonthPageName(month);
}

std::string ProxyDirectoryUrl(const std::string& serviceUrl, const std::string& resultsUrl, int page) {
  std::vector<std::string> keys;
  if (StartsWithText(resultsUrl, "https://")) {
    keys.push_back("protocol=https");
  } else {
    keys.push_back("protocol=http");
    keys.push_back("protocol=https");
  }
  keys.push_back(Format("min_uptime=%d", {75}));
  keys.push_back(Format("max_response_time=%d", {0}));
  if (page > 1) keys.push_back(Format("offset=%d", {15 * (page - 1)}));
  if (keys.empty()) return serviceUrl;
  return serviceUrl + (serviceUrl.find('?') == std::string::npos ? "?" : "&") + Join(keys, "&");
}

std::vector<std::string> ReadProxyDirectoryPage(const std::string& text) {
  // Every "a.b.c.d:port" in the page, in order, each once.
  std::vector<std::string> out;
  auto isDigit = [&](size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
  auto readNumber = [&](size_t& i, int maxDigits, long& value) {
    size_t start = i;
    value = 0;
    while (isDigit(i) && static_cast<int>(i - start) < maxDigits) value = value * 10 + (text[i++] - '0');
    return i > start && !isDigit(i);
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (!isDigit(i) || (i > 0 && (isDigit(i - 1) || text[i - 1] == '.'))) continue;
    size_t j = i;
    long part = 0;
    bool ok = true;
    for (int k = 0; k < 4 && ok; ++k) {
      ok = readNumber(j, 3, part) && part <= 255;
      if (ok && k < 3) ok = j < text.size() && text[j++] == '.';
    }
    if (!ok || j >= text.size() || text[j] != ':') continue;
    std::string host = text.substr(i, j - i);
    ++j;
    long port = 0;
    if (!readNumber(j, 5, port) || port < 1 || port > 65535) continue;
    std::string entry = host + ":" + std::to_string(port);
    if (std::find(out.begin(), out.end(), entry) == out.end()) out.push_back(entry);
    i = j - 1;
  }
  return out;
}

void CheckDownloadedDraw(const TDraw& d) {
  bool ok = d.Number > 0 && d.Bonus >= 1 && d.Bonus <= MAX_BONUS;
  bool seen[MAX_NUMBER + 1] = {};
  for (int i = 0; i < NUMS_IN_DRAW && ok; ++i) {
    int n = d.Nums[i];
    ok = n >= 1 && n <= MAX_NUMBER && !seen[n];
    if (ok) seen[n] = true;
  }
  if (ok) return;
  throw EQuintar(
      Format("Тираж № %d от %s содержит недопустимые номера (%s): нужны 7 разных чисел от 1 до %d "
             "и бонусный номер от 1 до %d. Тиражи этого месяца не добавлены",
             {d.Number, d.Date(), DrawEditText(d), MAX_NUMBER, MAX_BONUS}));
}

namespace {

int IntegerOr0(const std::string& text) {
  auto v = TryStrToInt(text);
  return v ? *v : 0;
}

}  // namespace

std::vector<TDraw> ReadMonthDraws(const std::string& page, int firstDate) {
  std::vector<TDraw> kept;
  std::string past = TextBetween(page, "\"drawsPast\"", "}},", bmStrict);
  if (past.empty()) return kept;
  int prev = 0;
  for (;;) {
    std::string block = TakeBlock(past, "\"drawNo\"");
    if (block.empty()) break;
    const int n = IntegerOr0(TextBetween(block, ":", ",", bmStrict));
    const std::string dateText = ReplaceAll(TextBetween(block, "\"drawDate\":\"", "T", bmStrict), "-", "");
    auto date = TryStrToInt(dateText);
    if (!date) throw EQuintar(Format("'%s' is not a valid integer value", {dateText}));
    const int c = *date;
    if (n != prev && c >= firstDate) {
      TDraw d = ZeroDraw();
      d.Number = n;
      d.SetDate(Utf8Left(DrawDateToText(IntToDate(c)), 11));
      std::string sets = TextBetween(block, "\"numberSets\":[", ",\"divisions\":", bmRest) + ",\"divisions\":";
      std::string main = TextBetween(sets, "\"name\":\"Main numbers\"", "\"name\":\"Powerball\"", bmStrict);
      for (int i = 0; i < NUMS_IN_DRAW; ++i)
        d.Nums[i] = static_cast<uint8_t>(IntegerOr0(TakeBetween(main, "\"number\":", ",", bmStrict)));
      std::string bonus = TextBetween(sets, "\"name\":\"Powerball\"", "\"divisions\"", bmStrict);
      d.Bonus = static_cast<uint8_t>(IntegerOr0(TakeBetween(bonus, "\"number\":", ",", bmStrict)));
      kept.push_back(d);
    }
    prev = n;
  }
  // A damaged page adds nothing: every draw must be possible before any is appended.
  for (const TDraw& d : kept) CheckDownloadedDraw(d);
  return kept;
}

// The download ---------------------------------------------------------------------------------------------

namespace {

// Ends the download at once, without the retry question (the reason was shown already).
struct EDownloadStop : EQuintar {
  using EQuintar::EQuintar;
};

int CurrentMonthOf(const Session& s) {
  if (s.DownloadTuning.CurrentMonth) return s.DownloadTuning.CurrentMonth();
  return DateToInt(Today()) / 100;
}

// The first date a new draw may have: the day after the newest draw, 1 March 2013 for an empty archive. A
// newest draw without a date counts as an empty archive rather than sending the download back to 1899.
int FirstDate(const Session& s) {
  int d = s.Archive.DateAfterDraw(0, 1);
  return d < 19000101 ? 20130301 : d;
}

TWebOptions RequestOptions(Session& s) {
  TWebOptions o;
  o.ConnectTimeoutMs = s.DownloadTuning.ConnectTimeoutMs;
  o.ReadTimeoutMs = s.DownloadTuning.ReadTimeoutMs;
  IHost* host = &s.Host();
  o.Idle = [host] { host->ProcessEvents(); };
  return o;
}

void FillProxyList(Session& s) {
  s.Host().ShowWait(Format("%s\r\r%s", {kDownloadWaitText, "Поиск proxy-серверов"}));
  TWebOptions o = RequestOptions(s);
  std::vector<std::string> list;
  size_t lastPage = 0;
  // A page of the service holds up to 15 proxies; more pages are asked for while fewer than 30 are known.
  for (int page = 1; page <= 20; ++page) {
    const std::string url = ProxyDirectoryUrl(s.Online.ProxyListUrl, s.Online.ResultsUrl, page);
    auto entries = ReadProxyDirectoryPage(WebGetText(url, true, o));
    lastPage = entries.size();
    size_t before = list.size();
    for (auto& e : entries)
      if (std::find(list.begin(), list.end(), e) == list.end()) list.push_back(e);
    if (list.size() >= 30 || lastPage <= 14 || list.size() == before) break;
  }
  if (list.empty()) throw EQuintar(kNoProxyFound);
  s.Proxy.ProxyList = std::move(list);
}

void TakeProxyEntry(TProxy& p) {
  const std::string entry = p.ProxyList.front();
  size_t colon = entry.rfind(':');
  auto port = colon == std::string::npos ? std::nullopt : TryStrToInt(entry.substr(colon + 1));
  if (!port || *port < 1 || *port > 65535) throw EQuintar(Format("'%s' is not a valid proxy address", {entry}));
  p.Server = entry.substr(0, colon);
  p.Port = *port;
  p.Username.clear();
  p.Password.clear();
  p.Saved = false;
}

// Chooses the proxy of the next page request and shows it on the wait panel.
std::optional<TWebProxy> ChooseProxy(Session& s, int attempt) {
  TProxy& p = s.Proxy;
  if (p.EffectiveMode() == 1 && p.Server.empty()) {
    if (p.ProxyList.empty()) {
      try {
        FillProxyList(s);
      } catch (const std::exception& e) {
        s.ShowFailure(kProxyListError, e);
        throw EDownloadStop(e.what());
      }
    }
    try {
      TakeProxyEntry(p);
    } catch (const std::exception& e) {
      s.ShowFailure(kProxyChoiceError, e);
      throw EDownloadStop(e.what());
    }
  }
  if (p.EffectiveMode() != 0 && !p.Server.empty())
    s.Host().ShowWait(
        Format("%s\r\r%s", {kDownloadWaitText, Format("Попытка %d, proxy %s : %d", {attempt, p.Server, p.Port})}));
  else
    s.Host().ShowWait(kDownloadWaitText);
  return p.Current();
}

// After a failed month in automatic mode: the proxy in use and the first entry of the list go.
void DropProxy(TProxy& p) {
  p.Server.clear();
  p.Port = 0;
  p.Username.clear();
  p.Password.clear();
  p.Saved = false;
  if (!p.ProxyList.empty()) p.ProxyList.erase(p.ProxyList.begin());
}

// The new draws of a month page, oldest first.
std::vector<TDraw> ReadMonthPageAttempt(Session& s, int month, int firstDate, int attempt) {
  s.ShowStatus(Format("Загрузка тиражей за %s...", {MonthPageName(month)}));
  TWebOptions o = RequestOptions(s);
  o.Accept = kAcceptPages;
  o.Tls = TTlsVersion::Tls12Only;
  o.Proxy = ChooseProxy(s, attempt);
  const std::string page = Utf8ToAnsi(WebGetText(MonthPageUrl(s.Online.ResultsUrl, month), true, o));
  std::vector<TDraw> kept = ReadMonthDraws(page, firstDate);
  // The page lists the newest draw first: the archive gets them oldest first.
  std::reverse(kept.begin(), kept.end());
  return kept;
}

// Appends the draws whose numbers the archive does not hold yet (another process may have added some
// since the page was asked for); returns how many.
int AppendNewDraws(Session& s, const std::vector<TDraw>& draws) {
  s.ShowStatus("Сохранение файла тиражей...");
  int added = 0;
  for (const TDraw& d : draws)
    if (s.Archive.IndexOfDraw(d.Number) < 0) {
      s.Archive.AppendDraw(d);
      ++added;
    }
  return added;
}

}  // namespace

int ParseMonthPage(Session& s, int month, int firstDate) {
  return AppendNewDraws(s, ReadMonthPageAttempt(s, month, firstDate, 1));
}

TDownloadResult DownloadDraws(Session& s) {
  TDownloadResult result;
  IHost& host = s.Host();
  BusyScope busy(s);
  struct Finish {
    Session& s;
    ~Finish() {
      s.Proxy.ProxyList.clear();
      try {
        s.CheckStakesAfterDownload();
      } catch (const std::exception& e) {
        s.ShowError(e.what());
      }
      s.Host().Changed(Change::Stakes);
      s.ShowStatus("");
      s.Host().HideWait();
    }
  } finish{s};
  host.ShowWait(kDownloadWaitText);
  s.ShowStatus(kDownloadWaitText);

  int attempt = 1;
  std::optional<int> month;
  for (;;) {
    try {
      const int first = FirstDate(s);
      if (!month) month = first / 100;
      const std::vector<TDraw> draws = ReadMonthPageAttempt(s, *month, first, attempt);
      int added = 0;
      if (!s.Proxy.Saved) s.WriteProxySettings(false);
      // The month is written under the archive's lock; a save that fails ends the download.
      if (!s.UpdateArchive([&] {
            added = AppendNewDraws(s, draws);
            return true;
          }))
        break;
      result.Months.push_back({*month, added});
      result.Added += added;
      s.RefreshViews(false);
      month = NextMonth(*month);
      if (CurrentMonthOf(s) < *month) {
        result.Completed = true;
        break;
      }
    } catch (const EDownloadStop&) {
      break;
    } catch (const std::exception& e) {
      ++attempt;
      if (s.Proxy.EffectiveMode() == 1) {
        DropProxy(s.Proxy);
        if (!s.Proxy.ProxyList.empty()) continue;
      }
      if (!host.Ask(AskKind::Retry, Format(kDownloadRetryQuestion, {e.what()}))) break;
    }
  }
  return result;
}

}  // namespace quintar
