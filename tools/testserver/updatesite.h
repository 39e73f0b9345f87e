// A stand-in for the maker's update server: the update descriptor "/files/autoupdates/Zembra_AU.cfg"
// (Windows-1251, CR LF), its descriptions under "/files/autoupdates/UpdDescr/" and the package, a shell
// script that writes the new program files into the folder it runs in. One offer at a time, with the
// faults an update must survive.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "httpserver.h"

namespace quintar::testserver {

enum class UpdateKind {
  Newer,          // a newer build with its package
  Same,           // the running build: no update
  WrongChecksum,  // the descriptor's SHA-256 is that of other bytes
  NoChecksum,     // the descriptor gives no SHA-256
  Truncated,      // the package's answer ends halfway through its announced length
  Failing,        // the package writes a file, then exits with status 3
  Slow,           // the package's answer stops halfway for SlowMs
};

// Name used on the command line ("newer", "wrong-checksum", ...), and back; false for an unknown name.
const char* UpdateKindName(UpdateKind k);
bool UpdateKindFromName(const std::string& name, UpdateKind& k);

struct UpdateOffer {
  std::string VerId;  // empty: the running build's number + 12
  std::string Description = "Исправления ошибок";
  std::string OriginalFileName = "quintar-update.sh";
  std::string Package;  // the package's bytes; empty: the default package
  // Where the descriptor says the package is; empty: "<base>/files/autoupdates/Quintar_7x35-<VerId>.upd".
  // "/files/autoupdates/redirect?to=URL" answers "302 Found" to URL.
  std::string DownloadUrl;
  // Description files by name ("UpdDescr_RUS_1.0.0.13.txt") and their text (UTF-8; served in
  // Windows-1251). Empty: the default Russian description.
  std::map<std::string, std::string> Descriptions;
  // Further keys of the two sections, as written.
  std::vector<std::pair<std::string, std::string>> Global, Program;
  bool Utf8 = false;  // the descriptor in UTF-8 with a byte-order mark
  bool WithCrc32 = true;
};

class UpdateSite {
 public:
  UpdateSite();
  ~UpdateSite();

  void SetKind(UpdateKind k);
  void SetOffer(UpdateOffer offer);
  void SetSlowMs(int ms);

  // The offered version, the package's bytes, the descriptor as served (for an address base).
  std::string OfferedVersion() const;
  std::string PackageBytes() const;
  std::string DescriptorBytes(const std::string& base) const;
  // The package that writes the new files: "Quintar_7x35" (a script that notes the arguments it is
  // started with in "restarted.txt" beside itself), "help/Zembra_RUS.html", "quintar-notes.txt", the data
  // file "Quintar_7x35.ini", and the Exec files "before.sh" and "after.sh" that note in "../exec.log"
  // which program file they found in place.
  static std::string DefaultPackage();

  int Start(int port = 0);
  void Stop();
  std::string BaseUrl() const;
  // Answers the paths under "/files/autoupdates/"; false for any other path.
  bool Handle(const HttpRequest& req, HttpConnection& conn);
  // How often a path was asked for, and the paths asked for in order.
  int Requests(const std::string& path) const;
  std::vector<std::string> Asked() const;
  std::string LastHeader(const std::string& name) const;

 private:
  mutable std::mutex mutex_;
  UpdateKind kind_ = UpdateKind::Newer;
  UpdateOffer offer_;
  int slowMs_ = 3000;
  std::vector<std::string> asked_;
  std::map<std::string, std::string> lastHeaders_;
  std::unique_ptr<HttpServer> server_;
};

}  // namespace quintar::testserver
