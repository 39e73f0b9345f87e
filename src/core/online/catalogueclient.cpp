#include "online/catalogueclient.h"

#include <openssl/evp.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <random>

#include "online/taggedtext.h"
#include "online/webrequest.h"
#include "util/format.h"
#include "util/inifile.h"
#include "util/safefile.h"
#include "util/strutil.h"

// The application id, the version and the catalogue's default address are settings of the build.
#if !defined(QUINTAR_APP_ID) || !defined(QUINTAR_VERSION) || !defined(QUINTAR_CATALOGUE_URL)
#error "The build defines QUINTAR_APP_ID, QUINTAR_VERSION and QUINTAR_CATALOGUE_URL"
#endif

namespace quintar {

namespace {

constexpr const char* kSection = "ONLINE";

// The start of a text for a message: at most kCatalogueQuoteLimit characters, then "…".
std::string Quoted(std::string_view text) {
  if (Utf8Length(text) <= kCatalogueQuoteLimit) return std::string(text);
  return Utf8Left(text, kCatalogueQuoteLimit) + "…";
}

[[noreturn]] void PairError(std::string_view text, std::string_view start, std::string_view end) {
  throw EPairError(Format("Не удалось найти пару идентификаторов \"%1:s\" - \"%2:s\" в тексте\r\r[%0:s]!",
                          {Quoted(text), start, end}));
}

// The value between the markers as the strict mode of TextBetween reads it, with the quote of the text in
// a pair error kept short.
std::string Between(std::string_view text, std::string_view start, std::string_view end) {
  const size_t p = FindText(text, start);
  if (p == std::string_view::npos) return "";
  const size_t b = p + start.size();
  const size_t e = FindText(text, end, b);
  if (e == std::string_view::npos) PairError(text, start, end);
  return Unquote(text.substr(b, e - b));
}

}  // namespace

std::string CatalogueAppId() { return QUINTAR_APP_ID; }

std::string ProgramVersionText() {
  int v[4] = {0, 0, 0, 0};
  std::sscanf(QUINTAR_VERSION, "%d.%d.%d.%d", &v[0], &v[1], &v[2], &v[3]);
  return Format("%d.%d.%d.%d", {v[0], v[1], v[2], v[3]});
}

// Settings ----------------------------------------------------------------------------------------------

TCatalogueSettings TCatalogueSettings::Defaults() {
  TCatalogueSettings s;
  s.Url = QUINTAR_CATALOGUE_URL;
  return s;
}

void TCatalogueSettings::ReadFrom(const IniFile& ini) {
  auto read = [&](const char* key, std::string& field) {
    std::string v = Trim(ini.ReadString(kSection, key, ""));
    if (!v.empty()) field = v;
  };
  read("CatalogueUrl", Url);
  std::string verify = Trim(ini.ReadString(kSection, "CatalogueTlsVerify", ""));
  if (!verify.empty()) TlsVerify = StrToIntDef(verify, 1) != 0;
  read("CatalogueCaFile", CaFile);
  read("UserName", UserName);
  read("UserMail", UserMail);
  read("MachineId", MachineId);
}

void TCatalogueSettings::WriteTo(IniFile& ini) const {
  ini.WriteString(kSection, "CatalogueUrl", Url);
  ini.WriteBool(kSection, "CatalogueTlsVerify", TlsVerify);
  ini.WriteString(kSection, "CatalogueCaFile", CaFile);
  ini.WriteString(kSection, "UserName", UserName);
  ini.WriteString(kSection, "UserMail", UserMail);
}

// Identity ----------------------------------------------------------------------------------------------

std::string SystemMachineId() {
  for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
    try {
      std::string text = ReadWholeFile(path);
      std::string first = Trim(text.substr(0, text.find_first_of("\r\n")));
      if (!first.empty()) return first;
    } catch (const std::exception&) {
    }
  }
  return "";
}

std::string CatalogueHwdId(std::string_view machineId, std::string_view appId) {
  const std::string text = std::string(machineId) + ":" + std::string(appId);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_Digest(text.data(), text.size(), digest, &size, EVP_sha256(), nullptr) != 1 || size < 16)
    throw EQuintar("SHA-256 is not available");
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned i = 0; i < 16; ++i) {
    out += kHex[digest[i] >> 4];
    out += kHex[digest[i] & 15];
  }
  return out;
}

TCatalogueIdentity MakeCatalogueIdentity(TCatalogueSettings& settings, int lcid, const std::string& iniPath) {
  std::string machine = SystemMachineId();
  if (machine.empty()) {
    if (settings.MachineId.empty()) {
      std::random_device rd;
      static const char kHex[] = "0123456789abcdef";
      std::string made;
      for (int i = 0; i < 32; ++i) made += kHex[rd() & 15];
      IniFile ini(iniPath);
      ini.WriteString(kSection, "MachineId", made);
      ini.UpdateFile();
      settings.MachineId = made;
    }
    machine = settings.MachineId;
  }
  TCatalogueIdentity id;
  id.AppId = CatalogueAppId();
  id.AppVer = ProgramVersionText();
  id.HwdId = CatalogueHwdId(machine, id.AppId);
  id.Name = settings.UserName;
  id.Mail = settings.UserMail;
  id.Lcid = lcid;
  return id;
}

// Requests ----------------------------------------------------------------------------------------------

void AddEscaped(TCatalogueForm& form, std::string name, std::string_view value) {
  form.emplace_back(std::move(name), EscapeText(Utf8ToAnsi(value)));
}

void AddIdentity(TCatalogueForm& form, const TCatalogueIdentity& id, std::string_view name, std::string_view mail,
                 int lcid) {
  form.emplace_back("appid", id.AppId);
  form.emplace_back("appver", id.AppVer);
  form.emplace_back("hwdid", id.HwdId);
  AddEscaped(form, "cl_name", name);
  AddEscaped(form, "cl_mail", mail);
  form.emplace_back("cl_lcid", std::to_string(lcid));
}

std::string CataloguePercentEncode(std::string_view value) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(value.size() * 3 / 2);
  for (char ch : value) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '*' || c == '~') {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string CatalogueFormBody(const TCatalogueForm& form) {
  std::string body;
  for (const auto& [name, value] : form) {
    if (!body.empty()) body += '&';
    body += name;
    body += '=';
    body += CataloguePercentEncode(Utf8ToAnsi(value));
  }
  return body;
}

std::string CatalogueRequestUrl(std::string_view base, std::string_view request) {
  std::string b = Trim(base);
  while (!b.empty() && b.back() == '/') b.pop_back();
  return b + "/scripts/" + std::string(request) + ".php";
}

std::string CataloguePost(const TCatalogueSettings& settings, const TCatalogueTuning& tuning,
                          std::string_view request, const TCatalogueForm& form, std::function<void()> idle) {
  if (Trim(settings.Url).empty()) throw EQuintar(kCatalogueNoAddress);
  TWebOptions o;
  o.Tls = TTlsVersion::Tls12Up;
  o.VerifyPeer = settings.TlsVerify;
  o.CaFile = settings.CaFile;
  o.ConnectTimeoutMs = tuning.ConnectTimeoutMs;
  o.ReadTimeoutMs = tuning.ReadTimeoutMs;
  o.TotalTimeoutMs = tuning.TotalTimeoutMs;
  o.MaxRedirects = 5;
  o.KeepHttps = true;
  o.MaxTextSize = tuning.MaxAnswer;
  o.Idle = std::move(idle);
  return WebPostBody(CatalogueRequestUrl(settings.Url, request), CatalogueFormBody(form), true, o);
}

// Answers -----------------------------------------------------------------------------------------------

TCatalogueAnswer::TCatalogueAnswer(std::string_view answer) : rest_(Between(answer, "<result>", "</result>")) {
  empty_ = rest_.empty();
}

bool TCatalogueAnswer::Next(std::string& row) {
  // The rows are taken one after the other from what is left of the result element.
  const std::string_view rest = std::string_view(rest_).substr(pos_);
  const size_t p = FindText(rest, "<row>");
  if (p == std::string::npos) return false;
  const size_t b = p + 5;
  const size_t e = FindText(rest, "</row>", b);
  if (e == std::string::npos) PairError(rest, "<row>", "</row>");
  row = Unquote(rest.substr(b, e - b));
  pos_ += e + 6;
  if (row.empty()) return false;
  std::string error = CatalogueField(row, "error");
  if (!error.empty()) throw EQuintar(Quoted(Utf8ToAnsi(error)));
  return true;
}

std::string CatalogueField(std::string_view row, std::string_view name) {
  return Between(row, "<" + std::string(name) + ">", "</" + std::string(name) + ">");
}

int StrictNumber(const std::string& text) {
  const auto v = TryStrToInt(text);
  if (!v) throw EQuintar(Format("'%s' is not a valid integer value", {Quoted(text)}));
  return *v;
}

int LenientNumber(const std::string& text, int def) { return TryStrToInt(text).value_or(def); }

double RatingNumber(const std::string& text) {
  std::string kept;
  for (char c : text)
    if ((c >= '0' && c <= '9') || c == '-') kept += c;
    else if (c == '.' || c == ',') kept += '.';
  char* end = nullptr;
  const double v = std::strtod(kept.c_str(), &end);
  return end == kept.c_str() || !std::isfinite(v) ? 0 : v;
}

std::string Base64Utf8Text(const std::string& text) { return Utf8ToAnsi(Base64Decode(text)); }

std::string CatalogueTimeText(TDateTime t) {
  if (!(t > 0)) return "";
  int y = 0, m = 0, d = 0;
  DecodeDate(t, y, m, d);
  const long secs = std::lround((t - std::floor(t)) * 86400.0);
  if (secs >= 86400) {  // rounded up to the next day
    DecodeDate(std::floor(t) + 1, y, m, d);
    return Format("%.4d-%.2d-%.2d 00:00:00", {y, m, d});
  }
  return Format("%.4d-%.2d-%.2d %.2d:%.2d:%.2d",
                {y, m, d, static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60), static_cast<int>(secs % 60)});
}

TDateTime CatalogueTextTime(std::string_view text) {
  const std::string t = Trim(text);
  if (t.empty()) return 0;
  auto field = [&](size_t pos, size_t len) {
    std::optional<int> v;
    if (pos + len <= t.size()) v = TryStrToInt(t.substr(pos, len));
    if (!v || *v < 0) throw EQuintar(Format("'%s' is not a valid date and time", {t}));
    return *v;
  };
  const int y = field(0, 4), mo = field(5, 2), d = field(8, 2);
  const int h = t.size() > 10 ? field(11, 2) : 0, mi = t.size() > 10 ? field(14, 2) : 0,
            s = t.size() > 10 ? field(17, 2) : 0;
  TDateTime date = 0;
  if (!TryEncodeDate(y, mo, d, date) || h > 23 || mi > 59 || s > 59)
    throw EQuintar(Format("'%s' is not a valid date and time", {t}));
  return date + (h * 3600 + mi * 60 + s) / 86400.0;
}

}  // namespace quintar
