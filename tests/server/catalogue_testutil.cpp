#include "catalogue_testutil.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "online/taggedtext.h"
#include "online/webrequest.h"

namespace quintar::test {

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

pid_t Spawn(const std::vector<std::string>& args, const std::string& outPath, const std::string& errPath) {
  pid_t pid = ::fork();
  if (pid == 0) {
    std::vector<std::string> copy = args;
    copy.insert(copy.begin(), QUINTAR_CATALOGUE_SERVER);
    std::vector<char*> argv;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (!std::freopen(outPath.c_str(), "w", stdout) || !std::freopen(errPath.c_str(), "w", stderr)) ::_exit(127);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  return pid;
}

int WaitStatus(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Whether the text holds a whole final answer (headers and as many body bytes as Content-Length says).
bool ResponseComplete(const std::string& raw) {
  size_t pos = 0;
  for (;;) {
    size_t end = raw.find("\r\n\r\n", pos);
    if (end == std::string::npos) return false;
    if (raw.compare(pos, 12, "HTTP/1.1 100") == 0) {
      pos = end + 4;
      continue;
    }
    size_t cl = raw.find("Content-Length: ", pos);
    if (cl == std::string::npos || cl > end) return false;
    return raw.size() >= end + 4 + std::stoul(raw.substr(cl + 16));
  }
}

}  // namespace

CatalogueServer::CatalogueServer(std::string dbPath, std::vector<std::string> extra) {
  std::string tmpl = (std::filesystem::temp_directory_path() / "quintar-catsrv-XXXXXX").string();
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  dir_ = std::string(::mkdtemp(buf.data())) + "/";
  std::vector<std::string> args = {"--db=" + dbPath, "--port-file=" + dir_ + "port", "--log=" + dir_ + "log"};
  bool listen = false;
  for (const auto& e : extra) listen = listen || e.rfind("--listen=", 0) == 0;
  if (!listen) args.push_back("--listen=127.0.0.1:0");
  args.insert(args.end(), extra.begin(), extra.end());
  pid_ = Spawn(args, dir_ + "out", dir_ + "err");
  for (int i = 0; i < 400 && port_ == 0; ++i) {
    std::ifstream f(dir_ + "port");
    if (!(f >> port_)) port_ = 0;
    if (port_ == 0) {
      int status;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
  }
}

CatalogueServer::~CatalogueServer() {
  if (pid_ > 0) Stop(SIGKILL);
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

std::string CatalogueServer::Url(const std::string& request) const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/scripts/" + request + ".php";
}

int CatalogueServer::Stop(int sig) {
  if (pid_ <= 0) return -1;
  ::kill(pid_, sig);
  int status = WaitStatus(pid_);
  pid_ = -1;
  return status;
}

std::string CatalogueServer::Log() const { return Slurp(dir_ + "log"); }
std::string CatalogueServer::Errors() const { return Slurp(dir_ + "err"); }

int RunCatalogueServer(const std::vector<std::string>& args, std::string* out, std::string* err) {
  std::string base =
      (std::filesystem::temp_directory_path() / ("quintar-catsrv-run-" + std::to_string(::getpid()))).string();
  pid_t pid = Spawn(args, base + ".out", base + ".err");
  int status = WaitStatus(pid);
  if (out) *out = Slurp(base + ".out");
  if (err) *err = Slurp(base + ".err");
  std::filesystem::remove(base + ".out");
  std::filesystem::remove(base + ".err");
  return status;
}

std::vector<std::string> Who::Fields() const {
  return {"appid=Quintar_7x35",          "appver=1.0.0.1", "hwdid=" + hwdid, "cl_name=" + EscapeText(name),
          "cl_mail=" + EscapeText(mail), "cl_lcid=1049"};
}

std::string Row::operator[](const std::string& name) const {
  for (const auto& [n, v] : items)
    if (n == name) return v;
  return "";
}

std::vector<std::string> Row::Names() const {
  std::vector<std::string> names;
  for (const auto& item : items) names.push_back(item.first);
  return names;
}

Answer ReadAnswer(const std::string& text) {
  Answer a;
  a.raw = text;
  std::string result = TextBetween(text, "<result>", "</result>", bmStrict);
  for (;;) {
    std::string row = TakeBetween(result, "<row>", "</row>", bmStrict);
    if (row.empty()) break;
    std::string error = TextBetween(row, "<error>", "</error>", bmStrict);
    if (!error.empty()) a.error = error;
    Row r;
    size_t pos = 0;
    while ((pos = row.find('<', pos)) != std::string::npos) {
      size_t close = row.find('>', pos);
      std::string name = row.substr(pos + 1, close - pos - 1);
      size_t end = row.find("</" + name + ">", close);
      if (end == std::string::npos) break;
      r.items.emplace_back(name, row.substr(close + 1, end - close - 1));
      pos = end + name.size() + 3;
    }
    a.rows.push_back(std::move(r));
  }
  return a;
}

Answer Call(const CatalogueServer& s, const std::string& request, const std::vector<std::string>& form) {
  TWebOptions o;
  o.ReadTimeoutMs = 20000;
  return ReadAnswer(WebPostForm(s.Url(request), form, true, o));
}

std::string RawExchange(int port, const std::string& bytes, int timeoutMs) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ::close(fd);
    return "";
  }
  size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<size_t>(n);
  }
  std::string got;
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int left = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now()).count());
    pollfd p{fd, POLLIN, 0};
    if (left <= 0 || ::poll(&p, 1, left) <= 0) break;
    char buf[65536];
    ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) break;
    got.append(buf, static_cast<size_t>(n));
    if (ResponseComplete(got)) break;  // the connection may stay open for the next request
  }
  ::close(fd);
  return got;
}

int HttpStatus(const std::string& raw) {
  // After an interim "100 Continue" the final status follows.
  size_t pos = 0;
  while (raw.compare(pos, 12, "HTTP/1.1 100") == 0) {
    size_t end = raw.find("\r\n\r\n", pos);
    if (end == std::string::npos) return 100;
    pos = end + 4;
  }
  if (raw.compare(pos, 9, "HTTP/1.1 ") != 0) return 0;
  return std::atoi(raw.c_str() + pos + 9);
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<std::string> PublishForm(int id, const std::string& title, const std::string& descr,
                                     const std::string& script, bool universal, bool isPublic, const Who& w) {
  return Join({"del_mode=0", "scr_id=" + std::to_string(id), std::string("scr_uniapps=") + (universal ? "1" : "0"),
               std::string("scr_publics=") + (isPublic ? "1" : "0"), "scr_title=" + EscapeText(title),
               "scr_descr=" + EscapeText(descr), "scr_script=" + EscapeText(script)},
              w.Fields());
}

std::vector<std::string> DeleteScriptForm(int id, const Who& w) {
  return Join({"del_mode=1", "scr_id=" + std::to_string(id), "scr_uniapps=0", "scr_publics=1",
               "scr_title=" + EscapeText("x"), "scr_descr="},
              w.Fields());
}

std::vector<std::string> RateForm(int id, int value, const std::string& notes, const Who& w) {
  return Join(
      {"scr_id=" + std::to_string(id), "rate_value=" + std::to_string(value), "rate_notes=" + EscapeText(notes)},
      w.Fields());
}

std::vector<std::string> SystemForm(int mode, int id, int nums, int olap, const std::string& title,
                                    const std::string& descr, const std::string& lines, int csize,
                                    const std::string& url, const Who& w) {
  return Join({"del_mode=" + std::to_string(mode), "sys_id=" + std::to_string(id), "nums=" + std::to_string(nums),
               "clen=7", "olap=" + std::to_string(olap), "title=" + EscapeText(title), "descr=" + EscapeText(descr),
               "csize=" + std::to_string(csize),
               "clist=" + (mode == 1 ? std::string() : Base64Encode(EscapeText(lines))), "url=" + url},
              w.Fields());
}

std::string FromBase64(const std::string& s) { return Base64Decode(s); }

}  // namespace quintar::test
