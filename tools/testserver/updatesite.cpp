#include "updatesite.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <cstdio>

#include "app/selfupdate.h"
#include "util/cp1251.h"
#include "util/strutil.h"

namespace quintar::testserver {

namespace {

struct KindName {
  UpdateKind kind;
  const char* name;
};
const KindName kKindNames[] = {
    {UpdateKind::Newer, "newer"},         {UpdateKind::Same, "same"},
    {UpdateKind::WrongChecksum, "wrong-checksum"}, {UpdateKind::NoChecksum, "no-checksum"},
    {UpdateKind::Truncated, "truncated"}, {UpdateKind::Failing, "failing"},
    {UpdateKind::Slow, "slow"},
};

const std::string kPrefix = "/files/autoupdates/";

std::string Sha256Hex(const std::string& bytes) {
  unsigned char md[EVP_MAX_MD_SIZE];
  unsigned int len = 0;
  EVP_Digest(bytes.data(), bytes.size(), md, &len, EVP_sha256(), nullptr);
  std::string out;
  char hex[3];
  for (unsigned i = 0; i < len; ++i) {
    std::snprintf(hex, sizeof hex, "%02x", md[i]);
    out += hex;
  }
  return out;
}

std::string Crc32Hex(const std::string& bytes) {
  uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()));
  char hex[16];
  std::snprintf(hex, sizeof hex, "%08lX", static_cast<unsigned long>(crc));
  return hex;
}

const char kFailingPackage[] =
    "#!/bin/sh\n"
    "printf 'half\\n' > Quintar_7x35\n"
    "echo 'the package failed' >&2\n"
    "exit 3\n";

}  // namespace

const char* UpdateKindName(UpdateKind k) {
  for (const auto& row : kKindNames)
    if (row.kind == k) return row.name;
  return "";
}

bool UpdateKindFromName(const std::string& name, UpdateKind& k) {
  for (const auto& row : kKindNames)
    if (name == row.name) {
      k = row.kind;
      return true;
    }
  return false;
}

std::string UpdateSite::DefaultPackage() {
  return "#!/bin/sh\n"
         "set -e\n"
         "cat > Quintar_7x35 <<'EOF'\n"
         "#!/bin/sh\n"
         "# the new build\n"
         "printf '%s\\n' \"$@\" > \"$(dirname \"$0\")/restarted.txt\"\n"
         "EOF\n"
         "chmod 755 Quintar_7x35\n"
         "mkdir -p help\n"
         "printf 'new help\\n' > help/Zembra_RUS.html\n"
         "printf 'notes\\n' > quintar-notes.txt\n"
         "printf '[GLOBAL]\\r\\nChannelSize=9\\r\\n' > Quintar_7x35.ini\n"
         "for step in before after; do\n"
         "  cat > $step.sh <<EOF\n"
         "#!/bin/sh\n"
         "if grep -q 'the new build' ../Quintar_7x35; then echo '$step: new'; else echo '$step: old'; fi >> ../exec.log\n"
         "EOF\n"
         "  chmod 755 $step.sh\n"
         "done\n"
         "echo 'package done'\n";
}

UpdateSite::UpdateSite() = default;
UpdateSite::~UpdateSite() { Stop(); }

void UpdateSite::SetKind(UpdateKind k) {
  std::lock_guard<std::mutex> lock(mutex_);
  kind_ = k;
}

void UpdateSite::SetOffer(UpdateOffer offer) {
  std::lock_guard<std::mutex> lock(mutex_);
  offer_ = std::move(offer);
}

void UpdateSite::SetSlowMs(int ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  slowMs_ = ms;
}

std::string UpdateSite::OfferedVersion() const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (kind_ == UpdateKind::Same) return ProgramVersion();
  if (!offer_.VerId.empty()) return offer_.VerId;
  std::vector<std::string> v = SplitAny(ProgramVersion(), ".", false);
  v.resize(4, "0");
  v[3] = std::to_string(BuildNumber(ProgramVersion()) + 12);
  return Join(v, ".");
}

std::string UpdateSite::PackageBytes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (kind_ == UpdateKind::Failing) return kFailingPackage;
  return offer_.Package.empty() ? DefaultPackage() : offer_.Package;
}

std::string UpdateSite::DescriptorBytes(const std::string& base) const {
  const std::string ver = OfferedVersion();
  const std::string package = PackageBytes();
  std::lock_guard<std::mutex> lock(mutex_);
  const UpdateOffer& o = offer_;
  std::string text = "[GlobalOptions]\r\n";
  if (o.Global.empty() && o.Program.empty()) text += "DeleteBefore=old-readme.txt\r\n";
  for (const auto& [k, v] : o.Global) text += k + "=" + v + "\r\n";
  text += "[Quintar_7x35]\r\n";
  if (kind_ != UpdateKind::Same) text += "VerId=" + ver + "\r\n";
  text += "Description=" + o.Description + "\r\n";
  text += "DownloadUrl=" + (o.DownloadUrl.empty() ? base + kPrefix + "Quintar_7x35-" + ver + ".upd" : o.DownloadUrl) +
          "\r\n";
  text += "OriginalFileName=" + o.OriginalFileName + "\r\n";
  if (o.WithCrc32) text += "ChecksumCRC32=" + Crc32Hex(package) + "\r\n";
  if (kind_ == UpdateKind::WrongChecksum)
    text += "ChecksumSHA256=" + Sha256Hex(package + "\n") + "\r\n";
  else if (kind_ != UpdateKind::NoChecksum)
    text += "ChecksumSHA256=" + Sha256Hex(package) + "\r\n";
  if (o.Global.empty() && o.Program.empty())
    text += "ExecBefore=before.sh\r\nExecAfter=after.sh\r\nDeleteAfter=obsolete.dat\r\n";
  for (const auto& [k, v] : o.Program) text += k + "=" + v + "\r\n";
  return o.Utf8 ? "\xEF\xBB\xBF" + text : Utf8ToCp1251(text);
}

int UpdateSite::Start(int port) {
  server_ = std::make_unique<HttpServer>([this](const HttpRequest& req, HttpConnection& conn) {
    if (!Handle(req, conn)) conn.SendResponse(404, "Not Found", {{"Content-Type", "text/plain"}}, "Not found\n");
  });
  return server_->Start(port);
}

void UpdateSite::Stop() {
  if (server_) server_->Stop();
}

std::string UpdateSite::BaseUrl() const { return server_ ? server_->BaseUrl() : ""; }

int UpdateSite::Requests(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  int n = 0;
  for (const std::string& p : asked_) n += p == path;
  return n;
}

std::vector<std::string> UpdateSite::Asked() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return asked_;
}

std::string UpdateSite::LastHeader(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = lastHeaders_.find(name);
  return it == lastHeaders_.end() ? "" : it->second;
}

bool UpdateSite::Handle(const HttpRequest& req, HttpConnection& conn) {
  if (req.path.rfind(kPrefix, 0) != 0) return false;
  const std::string name = req.path.substr(kPrefix.size());
  UpdateKind kind;
  int slowMs;
  std::map<std::string, std::string> descriptions;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    asked_.push_back(req.path);
    for (const char* h : {"Accept", "Accept-Encoding", "User-Agent"}) lastHeaders_[h] = req.Header(h);
    kind = kind_;
    slowMs = slowMs_;
    descriptions = offer_.Descriptions;
  }
  const std::string ver = OfferedVersion();
  const std::vector<std::pair<std::string, std::string>> text = {{"Content-Type", "text/plain; charset=windows-1251"}};
  if (name == "Zembra_AU.cfg") {
    conn.SendResponse(200, "OK", text, DescriptorBytes("http://" + req.Header("Host")));
    return true;
  }
  if (name == "redirect") {
    std::string to;
    for (const auto& [k, v] : req.QueryItems())
      if (k == "to") to = v;
    conn.SendResponse(302, "Found", {{"Location", to}, {"Content-Type", "text/plain"}}, "Moved\n");
    return true;
  }
  if (name.rfind("UpdDescr/", 0) == 0) {
    if (descriptions.empty())
      descriptions["UpdDescr_RUS_" + ver + ".txt"] = "Новая версия " + ver + "\r\nИсправлены ошибки поиска.\r\n";
    auto it = descriptions.find(name.substr(9));
    if (it == descriptions.end())
      conn.SendResponse(404, "Not Found", text, "Not found\n");
    else
      conn.SendResponse(200, "OK", text, Utf8ToCp1251(it->second));
    return true;
  }
  if (name != "Quintar_7x35-" + ver + ".upd") {
    conn.SendResponse(404, "Not Found", text, "Not found\n");
    return true;
  }
  const std::string body = PackageBytes();
  const std::vector<std::pair<std::string, std::string>> binary = {{"Content-Type", "application/octet-stream"}};
  const std::string head = HttpConnection::ResponseHead(200, "OK", binary, body.size());
  if (kind == UpdateKind::Truncated) {
    conn.Send(head + body.substr(0, body.size() / 2));
    return true;
  }
  if (kind == UpdateKind::Slow) {
    if (!conn.Send(head + body.substr(0, body.size() / 2)) || !conn.Sleep(slowMs)) return true;
    conn.Send(body.substr(body.size() / 2));
    return true;
  }
  conn.SendResponse(200, "OK", binary, body);
  return true;
}

}  // namespace quintar::testserver
