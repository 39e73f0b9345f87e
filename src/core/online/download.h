// The draw results download: the results site has one page per calendar month with the month's draws
// embedded as JSON text. The download walks the months from the one after the newest archived draw up to the
// current month, cuts the draws out of each page by marker search, appends those newer than the archive,
// saves the archive after every month and ends by checking the stakes. Requests may go through an HTTP
// proxy set by hand or picked from a public proxy directory.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "game/game.h"
#include "online/catalogueclient.h"
#include "online/webrequest.h"

namespace quintar {

class IniFile;
class Session;

// Proxy settings, section "PROXY" of Quintar_7x35.ini.
inline constexpr const char* kProxySection = "PROXY";

struct TProxy {
  int Mode = 0;  // 0 no proxy, 1 automatic choice, 2 manual; any other value acts as 0
  std::string Server;
  int Port = 80;
  std::string Username;
  std::string Password;
  bool Saved = true;  // the four values above are the ones in the settings file
  // Automatic mode: "host:port" entries from the proxy directory, made when first needed during a download.
  std::vector<std::string> ProxyList;

  // Mode as it acts: 0, 1 or 2.
  int EffectiveMode() const { return Mode == 1 || Mode == 2 ? Mode : 0; }
  // The proxy a request goes through now, if any (manual mode, or automatic with a chosen server).
  std::optional<TWebProxy> Current() const;
  // "ProxyMode" missing: 2 when "ProxyServer" is set, else 0. Reading sets Saved.
  void ReadFrom(const IniFile& ini);
  // Stores all five keys and sets Saved.
  void WriteTo(IniFile& ini);
};

// Addresses of the web services, compiled in and overridable in Quintar_7x35.ini, section "ONLINE".
inline constexpr const char* kOnlineSection = "ONLINE";
struct TOnlineAddresses {
  std::string ResultsUrl;    // "ResultsUrl": base of the results site; pages are <base>/powerball/results/<month>
  std::string LotteryUrl;    // "LotteryUrl": the lottery's site, opened in the browser
  std::string ProxyListUrl;  // "ProxyListUrl": the public proxy directory
  TCatalogueSettings Catalogue;  // "CatalogueUrl" and the other keys of the online catalogues
  std::string UpdateUrl;     // "UpdateUrl": base of the update server; empty: no updates
  static TOnlineAddresses Defaults();
  // Keys that are missing or empty keep the compiled defaults.
  void ReadFrom(const IniFile& ini);
};

// Time-outs of the page requests and the month the download runs up to; tests shorten them.
struct TDownloadTuning {
  int ConnectTimeoutMs = 5000;
  int ReadTimeoutMs = 10000;
  // Year * 100 + month of the current local date; empty: from the system clock.
  std::function<int()> CurrentMonth;
};

struct TMonthRead {
  int Month;  // year * 100 + month
  int Added;  // draws appended from its page
};

struct TDownloadResult {
  std::vector<TMonthRead> Months;  // the months read, in order
  int Added = 0;
  // True when every month up to the current one was read; false when the download ended on a failure.
  bool Completed = false;
};

// Main window setting "DownloadDrawsOnStart": what the start-up does about new draws.
inline constexpr const char* kDownloadOnStartKey = "DownloadDrawsOnStart";
enum TDownloadOnStart { dsAsk = 0, dsAuto = 1, dsNever = 2 };

// Texts.
inline constexpr const char* kDownloadWaitText = "Загрузка архива тиражей...";
inline constexpr const char* kDownloadRetryQuestion =
    "Ошибка загрузки архива тиражей с сайта: \"%s\"\r\rПовторить попытку?";
inline constexpr const char* kDownloadOnStartQuestion =
    "Обновить список тиражей?\r\rДля выполнения обновления необходимо действующее подключение к сети Интернет.";
inline constexpr const char* kProxyListError = "Ошибка получения списка proxy-серверов!";
inline constexpr const char* kProxyChoiceError = "Ошибка автоматического выбора proxy сервера!";
inline constexpr const char* kNoProxyFound = "Не найдено ни одного proxy-сервера с заданными параметрами";
inline constexpr const char* kConfigReadError = "Ошибка чтения файла конфигурации!";
inline constexpr const char* kConfigWriteError = "Ошибка записи в файл конфигурации!";

// The menu commands of the download: name, caption, hint, shortcut.
struct TActionText {
  const char* Name;
  const char* Caption;
  const char* Hint;
  const char* Shortcut;
};
inline constexpr TActionText kDownloadActions[] = {
    {"DrawsDownload", "Загрузка", "Загрузка архива тиражей с сайта лотереи", "F3"},
    {"EditProxy", "Параметры proxy-сервера", "", ""},
    {"AutoDownload0", "По запросу (по умолчанию)", "Спросить пользователя", ""},
    {"AutoDownload1", "Автоматически", "Автоматическая загрузка тиражей при запуске программы", ""},
    {"AutoDownload2", "Отключено", "Без автоматической загрузки при запуске программы", ""},
    {"OpenLotoSite", "Сайт лотереи", "Открыть сайт лотереи", ""},
};

// The proxy dialog (TFormProxy).
inline constexpr const char* kProxyDialogCaption = "Параметры proxy-сервера";
inline constexpr const char* kProxyChoiceTexts[3] = {
    "Не использовать proxy-сервер", "Автоматический поиск сервера (возможны задержки)", "Ручной выбор proxy-сервера:"};
inline constexpr const char* kProxyServerLabel = "Имя или адрес сервера:";
inline constexpr const char* kProxyPortLabel = "Порт:";
inline constexpr const char* kProxyUsernameLabel = "Имя пользователя:";
inline constexpr const char* kProxyUsernameHint = "Имя пользователя (не обязательно)";
inline constexpr const char* kProxyPasswordLabel = "Пароль:";
inline constexpr const char* kProxyPasswordHint = "Пароль (не обязательно)";
// The choice the dialog shows for a mode: modes above 2 show "no proxy".
inline int ProxyDialogChoice(int mode) { return mode == 1 || mode == 2 ? mode : 0; }
// The four fields are enabled only while the manual choice is selected.
inline bool ProxyFieldsEnabled(int choice) { return choice == 2; }

// The month after m (year * 100 + month): December is followed by January of the next year.
int NextMonth(int m);
// <base>/powerball/results/<MonthPageName>.
std::string MonthPageUrl(const std::string& baseUrl, int month);
// Address of one page (1, 2, ...) of the proxy directory: protocols by the results address, uptime at
// least 75, any response time, 15 proxies a page.
std::string ProxyDirectoryUrl(const std::string& serviceUrl, const std::string& resultsUrl, int page);
// The "host:port" entries of one proxy directory page, in the order listed, each once.
std::vector<std::string> ReadProxyDirectoryPage(const std::string& text);

// The draws of one month page that are to be appended, in the order they were read: blocks whose date is
// firstDate (yyyymmdd) or later and whose number differs from the block read just before. Raises on a
// missing marker pair, an unreadable date or an impossible draw.
std::vector<TDraw> ReadMonthDraws(const std::string& page, int firstDate);
// Raises EQuintar naming the fault when a draw is not 7 distinct numbers 1..35 with a bonus 1..20 and a
// positive number.
void CheckDownloadedDraw(const TDraw& d);

// The whole download (command "Загрузка", F3, and the start-up download).
TDownloadResult DownloadDraws(Session& s);
// Fetches and reads one month page and appends its new draws; returns the number appended.
int ParseMonthPage(Session& s, int month, int firstDate);

}  // namespace quintar
