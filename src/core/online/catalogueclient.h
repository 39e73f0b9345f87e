// The client side of the online catalogue service that keeps the shared scripts and number systems: where
// the service is and how far its certificate is trusted (section "ONLINE" of Quintar_7x35.ini), who asks
// (the client identity sent with the requests), how a request travels (a form POST under
// "<base>/scripts/", UTF-8 values escaped and percent-encoded) and how an answer is read (a "<result>"
// element of "<row>" elements; a row with an "<error>" is a refusal).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "game/game.h"

namespace quintar {

class IniFile;

inline constexpr const char* kCatalogueNoAddress = "Адрес online-каталога не задан!";
inline constexpr const char* kReturnCodeText = "Код возврата: %d";
inline constexpr const char* kNoResultText = "Сервер не вернул результат";
// The program's name shown for its own catalogue rows.
inline constexpr const char* kCatalogueAppName = "Quintar_7x35";
// A refusal or a pair error quotes at most this many characters of the answer, followed by "…".
inline constexpr size_t kCatalogueQuoteLimit = 2000;

// The application id of this build (the service answers it as app_guid for the scripts published here).
std::string CatalogueAppId();
// The program's version text, the same in both front ends ("1.0.0.1").
std::string ProgramVersionText();

// Section "ONLINE": a missing or empty key keeps the default.
struct TCatalogueSettings {
  std::string Url;       // "CatalogueUrl": base address; "" means there is no service
  bool TlsVerify = true; // "CatalogueTlsVerify": verify an https:// service's certificate and host name
  std::string CaFile;    // "CatalogueCaFile": a PEM file of further trusted certificates
  std::string UserName;  // "UserName"
  std::string UserMail;  // "UserMail"
  std::string MachineId; // "MachineId": made once when the system has no machine id

  static TCatalogueSettings Defaults();
  void ReadFrom(const IniFile& ini);
  // Stores the five keys the settings dialog edits.
  void WriteTo(IniFile& ini) const;
};

// The identity fields of a request.
struct TCatalogueIdentity {
  std::string AppId, AppVer, HwdId, Name, Mail;
  int Lcid = 1049;
};

// The machine id of the system: the first line of /etc/machine-id, else of /var/lib/dbus/machine-id; "" when
// neither can be read.
std::string SystemMachineId();
// The application-specific machine id sent as "hwdid": the first 32 hexadecimal digits (lower case) of
// SHA-256 over "<machine id>:<appid>". The raw machine id never leaves the computer.
std::string CatalogueHwdId(std::string_view machineId, std::string_view appId);
// The identity for the interface language lcid. Without a system machine id, a random one is made once and
// kept as "MachineId" in the settings file iniPath.
TCatalogueIdentity MakeCatalogueIdentity(TCatalogueSettings& settings, int lcid, const std::string& iniPath);

// A request form: field names and values in order. Values are UTF-8 as the interface holds them.
using TCatalogueForm = std::vector<std::pair<std::string, std::string>>;
// Adds a field whose value passes through EscapeText.
void AddEscaped(TCatalogueForm& form, std::string name, std::string_view value);
// Adds "appid", "appver", "hwdid", "cl_name" (E), "cl_mail" (E), "cl_lcid" with the name, e-mail and
// language given.
void AddIdentity(TCatalogueForm& form, const TCatalogueIdentity& id, std::string_view name, std::string_view mail,
                 int lcid);
inline void AddIdentity(TCatalogueForm& form, const TCatalogueIdentity& id) {
  AddIdentity(form, id, id.Name, id.Mail, id.Lcid);
}

// Percent-encoding of a value: every byte but A-Z a-z 0-9 and "-._*~" becomes "%XX".
std::string CataloguePercentEncode(std::string_view value);
// The request body: "name=value" items joined by "&", values converted to the interface code page's
// repertoire and percent-encoded.
std::string CatalogueFormBody(const TCatalogueForm& form);
// "<base>/scripts/<request>.php"; trailing "/" of the base are dropped, a path in it is kept.
std::string CatalogueRequestUrl(std::string_view base, std::string_view request);

// Time limits of a request and the largest answer taken; tests shorten them.
struct TCatalogueTuning {
  int ConnectTimeoutMs = 5000;
  int ReadTimeoutMs = 10000;
  int TotalTimeoutMs = 120000;
  size_t MaxAnswer = size_t(64) << 20;
};

// Sends one request (request is the endpoint's name, "scr_getlist") and returns the whole answer. No proxy;
// redirects are followed (at most 5), never from https:// to http://; TLS 1.2 or later, the certificate
// verified as the settings say. Without an address, or on a transport failure, raises EQuintar with the text
// to show.
std::string CataloguePost(const TCatalogueSettings& settings, const TCatalogueTuning& tuning,
                          std::string_view request, const TCatalogueForm& form, std::function<void()> idle = {});

// Reads an answer: the "<result>" element, then its rows one by one.
class TCatalogueAnswer {
 public:
  // Raises the pair error when "<result>" has no "</result>".
  explicit TCatalogueAnswer(std::string_view answer);
  // The result element holds nothing: the service returned nothing.
  bool Empty() const { return empty_; }
  // Takes the next row; false when no row is left. A row with a non-empty "<error>" raises its text.
  bool Next(std::string& row);

 private:
  std::string rest_;
  size_t pos_ = 0;
  bool empty_ = true;
};

// A field of a row ("" when missing); a start element without its end element is the pair error.
std::string CatalogueField(std::string_view row, std::string_view name);
// A number read strictly: raises EQuintar when the text is not a whole integer.
int StrictNumber(const std::string& text);
// A number read leniently: the default when the text is not a whole integer.
int LenientNumber(const std::string& text, int def);
// A rating average: only digits, "-" and decimal marks (all taken as the decimal point) are kept; 0 when
// nothing readable is left.
double RatingNumber(const std::string& text);
// Base64 of UTF-8, as the interface holds it.
std::string Base64Utf8Text(const std::string& text);

// A local date and time as "yyyy-mm-dd hh:mm:ss"; "" when not above 0.
std::string CatalogueTimeText(TDateTime t);
// The same read back by fixed positions (local time); "" gives 0. Raises EQuintar for fields that are not
// numbers.
TDateTime CatalogueTextTime(std::string_view text);

}  // namespace quintar
