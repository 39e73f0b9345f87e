// quintar-catalogue-server: the online catalogue of scripts and systems on an SQLite database, and the
// operator's commands on that database.
#include <malloc.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "httpserver.h"
#include "operator.h"
#include "service.h"
#include "store.h"
#include "util/safefile.h"
#include "util/strutil.h"

using namespace quintar::catalogue;

namespace {

const char kUsage[] =
    "usage: quintar-catalogue-server --db=FILE [--listen=HOST:PORT] [--port-file=FILE] [--log=FILE]\n"
    "                                [--max-body=BYTES] [--app=APPID=NAME]... [--allow-remote]\n"
    "                                [--request-timeout=SECONDS]\n"
    "       quintar-catalogue-server --db=FILE --list=scripts|systems\n"
    "       quintar-catalogue-server --db=FILE --remove=script:ID|system:ID\n"
    "       quintar-catalogue-server --db=FILE --set-owner=script:ID|system:ID --mail=MAIL --hwdid=ID\n"
    "       quintar-catalogue-server --db=FILE --backup=FILE\n";

struct Options {
  std::string db;
  std::string host = "127.0.0.1";
  int port = 8780;
  std::string portFile, logFile;
  int64_t maxBody = 8388608;
  int requestTimeout = 30;
  bool allowRemote = false;
  ListCache::AppNames apps;
  OperatorCommand op;
  bool hasMail = false, hasHwdid = false;
};

[[noreturn]] void UsageError(const std::string& text) {
  std::fprintf(stderr, "quintar-catalogue-server: %s\n%s", text.c_str(), kUsage);
  std::exit(2);
}

int64_t Number(const std::string& option, const std::string& v, int64_t lo, int64_t hi) {
  std::optional<int64_t> n = quintar::TryStrToInt64(v);
  if (!n || v.empty() || v.find_first_not_of("0123456789") != std::string::npos || *n < lo || *n > hi)
    UsageError(option + " needs a number from " + std::to_string(lo) + " to " + std::to_string(hi));
  return *n;
}

// "script:12" or "system:12".
void Entry(const std::string& option, const std::string& v, OperatorCommand& op) {
  size_t colon = v.find(':');
  std::string kind = v.substr(0, colon);
  if (colon == std::string::npos || (kind != "script" && kind != "system"))
    UsageError(option + " needs script:ID or system:ID");
  op.systems = kind == "system";
  op.id = static_cast<int>(Number(option, v.substr(colon + 1), 1, INT32_MAX));
}

void SetCommand(Options& o, OperatorCommand::Kind kind) {
  if (o.op.kind != OperatorCommand::None) UsageError("give one of --list, --remove, --set-owner, --backup");
  o.op.kind = kind;
}

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    size_t eq = a.find('=');
    std::string name = a.substr(0, eq), value = eq == std::string::npos ? "" : a.substr(eq + 1);
    bool hasValue = eq != std::string::npos;
    auto need = [&] {
      if (!hasValue || value.empty()) UsageError(name + " needs a value");
    };
    if (name == "--help" || name == "-h") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (name == "--db") {
      need();
      o.db = value;
    } else if (name == "--listen") {
      need();
      size_t colon = value.rfind(':');
      if (colon == std::string::npos) UsageError("--listen needs HOST:PORT");
      o.host = value.substr(0, colon);
      o.port = static_cast<int>(Number("--listen", value.substr(colon + 1), 0, 65535));
      if (o.host.empty()) UsageError("--listen needs HOST:PORT");
    } else if (name == "--port-file") {
      need();
      o.portFile = value;
    } else if (name == "--log") {
      need();
      o.logFile = value;
    } else if (name == "--max-body") {
      need();
      o.maxBody = Number(name, value, 1, int64_t(1) << 31);
    } else if (name == "--request-timeout") {
      need();
      o.requestTimeout = static_cast<int>(Number(name, value, 1, 3600));
    } else if (name == "--app") {
      need();
      size_t sep = value.find('=');
      if (sep == 0 || sep == std::string::npos) UsageError("--app needs APPID=NAME");
      std::string appName = value.substr(sep + 1);
      if (appName.empty() || HasMarkupOrControl(appName) || !IsValidUtf8(appName))
        UsageError("--app: the name must be UTF-8 text without \"<\", \">\" or control characters");
      o.apps[value.substr(0, sep)] = appName;
    } else if (name == "--allow-remote" && !hasValue) {
      o.allowRemote = true;
    } else if (name == "--list") {
      SetCommand(o, OperatorCommand::List);
      if (value != "scripts" && value != "systems") UsageError("--list needs scripts or systems");
      o.op.systems = value == "systems";
    } else if (name == "--remove") {
      SetCommand(o, OperatorCommand::Remove);
      Entry(name, value, o.op);
    } else if (name == "--set-owner") {
      SetCommand(o, OperatorCommand::SetOwner);
      Entry(name, value, o.op);
    } else if (name == "--mail") {
      need();
      o.op.mail = value;
      o.hasMail = true;
    } else if (name == "--hwdid") {
      need();
      o.op.hwdid = value;
      o.hasHwdid = true;
    } else if (name == "--backup") {
      need();
      SetCommand(o, OperatorCommand::Backup);
      o.op.file = value;
    } else {
      UsageError("unknown option " + a);
    }
  }
  if (o.db.empty()) UsageError("--db=FILE is required");
  if (o.op.kind == OperatorCommand::SetOwner && (!o.hasMail || !o.hasHwdid))
    UsageError("--set-owner needs --mail=MAIL and --hwdid=ID");
  if (o.op.kind != OperatorCommand::SetOwner && (o.hasMail || o.hasHwdid))
    UsageError("--mail and --hwdid go with --set-owner");
  return o;
}

int Serve(const Options& o) {
  std::FILE* logOut = stderr;
  if (!o.logFile.empty()) {
    logOut = std::fopen(o.logFile.c_str(), "a");
    if (!logOut) {
      std::fprintf(stderr, "quintar-catalogue-server: cannot open the log %s: %s\n", o.logFile.c_str(),
                   std::strerror(errno));
      return 1;
    }
  }
  RequestLog log(logOut);

  // The signals are taken by sigwait below, never by a thread at random.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  Db db;
  try {
    db = OpenCatalogue(o.db, OpenMode::Serve);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quintar-catalogue-server: %s\n", e.what());
    return 1;
  }

  ServiceOptions so;
  so.DbPath = o.db;
  so.AppNames = o.apps;
  std::unique_ptr<CatalogueService> service;
  try {
    service = std::make_unique<CatalogueService>(std::move(db), so, &log);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quintar-catalogue-server: %s\n", e.what());
    return 1;
  }
  HttpLimits limits;
  limits.MaxBody = static_cast<size_t>(o.maxBody);
  // Every connection is a descriptor: as many as the system allows, and room kept for the database's own.
  rlimit files{};
  if (getrlimit(RLIMIT_NOFILE, &files) == 0) {
    files.rlim_cur = std::min<rlim_t>(files.rlim_max, 8192);
    setrlimit(RLIMIT_NOFILE, &files);
    getrlimit(RLIMIT_NOFILE, &files);
    if (files.rlim_cur > 128) limits.MaxConnections = std::min<size_t>(limits.MaxConnections, files.rlim_cur - 64);
  }
  limits.RequestTimeoutMs = o.requestTimeout * 1000;
  HttpServer http([&](HttpRequest&& req, HttpReply reply) { service->Handle(std::move(req), std::move(reply)); },
                  limits, &log);
  int port;
  try {
    port = http.Listen(o.host, o.port, o.allowRemote);
    // The log has its first line before the port file tells anyone that the service is there.
    log.Note("listening on " + o.host + ":" + std::to_string(port) + ", database " + o.db);
    if (!o.portFile.empty()) quintar::WriteFileAtomic(o.portFile, std::to_string(port) + "\n");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quintar-catalogue-server: %s\n", e.what());
    service->Shutdown();
    return 1;
  }
  std::thread io([&] { http.Run(); });
  int sig = 0;
  sigwait(&stopSignals, &sig);
  log.Note(std::string("stopping (") + (sig == SIGTERM ? "SIGTERM" : "SIGINT") + ")");
  http.Stop();
  io.join();
  service->Shutdown();
  log.Note("stopped");
  if (logOut != stderr) std::fclose(logOut);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // A few arenas serve every thread, so that memory freed by one thread (a list answer, once sent) is used
  // again by the others and the resident size stays near what the catalogue needs.
  mallopt(M_ARENA_MAX, 4);
  Options o = Parse(argc, argv);
  if (o.op.kind != OperatorCommand::None) return RunOperatorCommand(o.db, o.op, stdout, stderr);
  return Serve(o);
}
