// The catalogue service under load: a catalogue of 10,000 scripts and 2,000 systems, 16 clients on loopback
// for 20 s, each sending list, get, rate and publish requests mixed 10:5:3:1 (lists and gets of both
// catalogues, publishing scripts and systems), every request on a fresh connection as the program sends
// it. Targets: at least 1,000 requests/s, the 99th percentile of latency at most 50 ms, no failed request,
// the server's resident memory under 200 MiB.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "bench.h"
#include "online/taggedtext.h"
#include "online/webrequest.h"
#include "store.h"

namespace {

using namespace quintar;
using namespace quintar::catalogue;

constexpr int kScripts = 10000;
constexpr int kSystems = 2000;
constexpr int kUsers = 200;  // owners and raters of the catalogue; the 16 clients are the first of them
constexpr int kClients = 16;
constexpr double kSeconds = 20;

std::string Mail(int user) { return "user" + std::to_string(user) + "@example.org"; }
std::string Hwdid(int user) { return "hw" + std::to_string(user * 7919 % 100003); }

std::string ScriptText(std::mt19937& rng, int lines) {
  std::string s;
  for (int i = 0; i < lines; ++i)
    s += "1;NUMS;" + std::to_string(rng() % 35 + 1) + ";SUMS;" + std::to_string(100 + rng() % 50) +
         ";KCM2;0;1;2;3;4;5\r\n";
  return s;
}

std::string SystemText(std::mt19937& rng, int nums, int lines) {
  std::string s;
  for (int i = 0; i < lines; ++i) {
    std::vector<int> p(static_cast<size_t>(nums));
    for (int k = 0; k < nums; ++k) p[static_cast<size_t>(k)] = k + 1;
    std::shuffle(p.begin(), p.end(), rng);
    std::sort(p.begin(), p.begin() + 7);
    char line[64];
    std::snprintf(line, sizeof line, "%.2d %.2d %.2d %.2d %.2d %.2d %.2d\r\n", p[0], p[1], p[2], p[3], p[4], p[5],
                  p[6]);
    s += line;
  }
  return s;
}

// The catalogue the clients find: written straight into the database in one transaction. Answers the ids
// of the public scripts (those a client finds in its list).
std::vector<int> Seed(const std::string& path) {
  std::vector<int> publicIds;
  Db db = OpenCatalogue(path, OpenMode::Serve);
  std::mt19937 rng(7);
  const int64_t now = std::time(nullptr);
  Transaction tx(db);
  {
    Stmt s(db,
           "INSERT INTO scripts(owner_mail, owner_hwdid, author_name, author_mail, appid, appver, lcid, uniapps, "
           "publics, title, title_key, descr, created, downloads, last_download, script) "
           "VALUES(?1, ?2, ?3, ?1, 'Quintar_7x35', '1.0.0.1', 1049, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)");
    Stmt r(db,
           "INSERT OR REPLACE INTO ratings(script_id, user_mail, user_hwdid, rate, notes, name, appid, appver, "
           "created) VALUES(?1, ?2, ?3, ?4, 'Неплохо', ?5, 'Quintar_7x35', '1.0.0.1', ?6)");
    for (int i = 1; i <= kScripts; ++i) {
      int owner = static_cast<int>(rng() % kUsers);
      std::string title = "Сценарий " + std::to_string(i) + " для проверки";
      s.Bind(1, Mail(owner)).Bind(2, Hwdid(owner)).Bind(3, "Автор " + std::to_string(owner));
      bool isPublic = rng() % 10 != 0;
      if (isPublic) publicIds.push_back(i);
      s.Bind(4, static_cast<int>(rng() % 2)).Bind(5, isPublic ? 1 : 0).Bind(6, title).Bind(7, title);
      s.Bind(8, "Фильтры по суммам и каналам, проверено на " + std::to_string(rng() % 400) + " тиражах");
      s.Bind(9, now - static_cast<int64_t>(rng() % (2 * 365 * 86400))).Bind(10, static_cast<int>(rng() % 500));
      s.Bind(11, now - static_cast<int64_t>(rng() % 86400))
          .Bind(12, ScriptText(rng, 20 + static_cast<int>(rng() % 40)));
      s.Run();
      for (int k = static_cast<int>(rng() % 6); k > 0; --k) {
        int u = static_cast<int>(rng() % kUsers);
        r.Bind(1, i).Bind(2, Mail(u)).Bind(3, Hwdid(u)).Bind(4, rng() % 8 == 0 ? -1 : static_cast<int>(rng() % 5 + 1));
        r.Bind(5, "Игрок " + std::to_string(u)).Bind(6, now - static_cast<int64_t>(rng() % 86400 * 30)).Run();
      }
    }
  }
  {
    Stmt s(db,
           "INSERT INTO systems(owner_mail, owner_hwdid, author_name, author_mail, appid, appver, lcid, nums, clen, "
           "olap, csize, title, descr, url, created, clist) VALUES(?1, ?2, ?3, ?1, 'Quintar_7x35', '1.0.0.1', 1049, "
           "?4, 7, ?5, ?6, ?7, ?8, 'https://systems.example.org/wheel', ?9, ?10)");
    for (int i = 1; i <= kSystems; ++i) {
      int owner = static_cast<int>(rng() % kUsers), nums = 8 + static_cast<int>(rng() % 28);
      int lines = 10 + static_cast<int>(rng() % 50);
      s.Bind(1, Mail(owner)).Bind(2, Hwdid(owner)).Bind(3, "Автор " + std::to_string(owner)).Bind(4, nums);
      s.Bind(5, static_cast<int>(rng() % 7)).Bind(6, lines).Bind(7, "Система " + std::to_string(i));
      s.Bind(8, "Покрытие " + std::to_string(rng() % 6) + " из 7")
          .Bind(9, now - static_cast<int64_t>(rng() % 86400000));
      s.Bind(10, SystemText(rng, nums, lines)).Run();
    }
  }
  tx.Commit();
  return publicIds;
}

pid_t StartServer(const std::string& dir, int& port) {
  std::string portFile = dir + "port";
  pid_t pid = ::fork();
  if (pid == 0) {
    std::string exe = QUINTAR_CATALOGUE_SERVER;
    std::string a1 = "--db=" + dir + "catalogue.db", a2 = "--listen=127.0.0.1:0", a3 = "--port-file=" + portFile,
                a4 = "--log=" + dir + "requests.log";
    char* argv[] = {exe.data(), a1.data(), a2.data(), a3.data(), a4.data(), nullptr};
    ::execv(exe.c_str(), argv);
    ::_exit(127);
  }
  for (int i = 0; i < 600; ++i) {
    std::ifstream f(portFile);
    if (f >> port) return pid;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  return -1;
}

double ProcessMiB(pid_t pid, const char* key) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(f, line))
    if (line.rfind(key, 0) == 0) return std::atof(line.c_str() + std::strlen(key)) / 1024.0;
  return 0;
}

// CPU seconds the process has used (user and system).
double ProcessCpuSeconds(pid_t pid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  size_t p = stat.rfind(')');
  if (p == std::string::npos) return 0;
  std::istringstream rest(stat.substr(p + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i)
    if (i >= 14) ticks += std::atof(field.c_str());
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// One request as the program sends it: a fresh connection, the form, the whole answer read. Answers whether
// it came back as a complete answer without an error row; bytes gets the answer's size.
bool Post(int port, const std::string& path, const std::string& body, size_t& bytes) {
  bytes = 0;
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    if (fd >= 0) ::close(fd);
    return false;
  }
  int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  std::string req = "POST " + path +
                    " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                    "Content-Length: " +
                    std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
  size_t sent = 0;
  while (sent < req.size()) {
    ssize_t n = ::send(fd, req.data() + sent, req.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) {
      ::close(fd);
      return false;
    }
    sent += static_cast<size_t>(n);
  }
  // The answer goes into one buffer sized from its Content-Length, so that the clients, which share the
  // machine with the server, spend no more than they must.
  std::string answer(65536, '\0');
  size_t got = 0, expected = std::string::npos;
  for (;;) {
    if (got == answer.size()) answer.resize(answer.size() * 2);
    ssize_t n = ::recv(fd, answer.data() + got, answer.size() - got, 0);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
    if (expected == std::string::npos) {
      size_t end = answer.find("\r\n\r\n");
      size_t cl = answer.find("Content-Length: ");
      if (end != std::string::npos && end < got && cl < end) {
        expected = end + 4 + std::stoul(answer.substr(cl + 16, 20));
        if (expected > answer.size()) answer.resize(expected);
      }
    }
    if (got >= expected) break;
  }
  answer.resize(got);
  ::close(fd);
  bytes = answer.size();
  const std::string tail = "</response>\n";
  return answer.rfind("HTTP/1.1 200", 0) == 0 && answer.size() > tail.size() &&
         answer.compare(answer.size() - tail.size(), tail.size(), tail) == 0 &&
         answer.find("<error>") == std::string::npos;
}

std::string Identity(int user) {
  return FormBody({"appid=Quintar_7x35", "appver=1.0.0.1", "hwdid=" + Hwdid(user),
                   "cl_name=" + EscapeText("Игрок " + std::to_string(user)), "cl_mail=" + EscapeText(Mail(user)),
                   "cl_lcid=1049"});
}

enum Kind { kList, kGet, kRate, kPublish, kKinds };
const char* const kKindNames[] = {"list", "get", "rate", "publish"};

struct ClientStats {
  std::vector<double> latencies[kKinds];
  size_t bytes[kKinds] = {};
  int failures = 0;
  std::string firstFailure;
};

void Client(int user, int port, double until, const std::vector<int>& publicIds, ClientStats& st) {
  std::mt19937 rng(static_cast<unsigned>(user) * 101 + 3);
  std::vector<Kind> cycle;
  for (int i = 0; i < 10; ++i) cycle.push_back(kList);
  for (int i = 0; i < 5; ++i) cycle.push_back(kGet);
  for (int i = 0; i < 3; ++i) cycle.push_back(kRate);
  cycle.push_back(kPublish);
  const std::string identity = Identity(user);
  int counter = 0;
  while (bench::NowSeconds() < until) {
    std::shuffle(cycle.begin(), cycle.end(), rng);
    for (Kind k : cycle) {
      if (bench::NowSeconds() >= until) break;
      ++counter;
      std::string path, body;
      switch (k) {
        case kList:
          // The program's lists: the script catalogue with the filter the user chose (the panel's
          // default "all but hidden" most often), and the systems tab.
          if (counter % 2) {
            static const int kFilters[] = {1, 1, 1, 1, 2, 3, 4, 5, 6, -1, 0, 1};
            path = "/scripts/scr_getlist.php";
            body = "fltid=" + std::to_string(kFilters[rng() % 12]) + "&" + identity;
          } else {
            path = "/scripts/sys_getlist.php";
            body = "comblen=7&maxnums=35&" + identity;
          }
          break;
        case kGet:
          if (counter % 2) {
            path = "/scripts/scr_getdata.php";
            body = "scr_id=" + std::to_string(publicIds[rng() % publicIds.size()]) + "&" + identity;
          } else {
            path = "/scripts/sys_getdata.php";
            body = "sys_id=" + std::to_string(rng() % kSystems + 1);
          }
          break;
        case kRate:
          path = "/scripts/scr_setrate.php";
          body = FormBody({"scr_id=" + std::to_string(publicIds[rng() % publicIds.size()]),
                           "rate_value=" + std::to_string(rng() % 5 + 1), "rate_notes=" + EscapeText("Оценка")}) +
                 "&" + identity;
          break;
        default: {
          std::string title = "Нагрузка " + std::to_string(user) + "-" + std::to_string(counter);
          if (counter % 2) {
            path = "/scripts/scr_putscript.php";
            body = FormBody({"del_mode=0", "scr_id=-1", "scr_uniapps=0", "scr_publics=1",
                             "scr_title=" + EscapeText(title), "scr_descr=" + EscapeText("Опубликовано под нагрузкой"),
                             "scr_script=" + EscapeText(ScriptText(rng, 30))}) +
                   "&" + identity;
          } else {
            path = "/scripts/sys_putdata.php";
            body = FormBody({"del_mode=0", "sys_id=0", "nums=12", "clen=7", "olap=0", "title=" + EscapeText(title),
                             "descr=" + EscapeText("Опубликована под нагрузкой"), "csize=20",
                             "clist=" + Base64Encode(EscapeText(SystemText(rng, 12, 20))),
                             "url=https://systems.example.org/" + std::to_string(counter)}) +
                   "&" + identity;
          }
        }
      }
      double t0 = bench::NowSeconds();
      size_t bytes = 0;
      bool ok = Post(port, path, body, bytes);
      st.latencies[k].push_back(bench::NowSeconds() - t0);
      st.bytes[k] += bytes;
      if (!ok && st.failures++ == 0) st.firstFailure = path;
    }
  }
}

}  // namespace

QUINTAR_BENCH(CatalogueServiceLoad) {
  std::string dir = (std::filesystem::temp_directory_path() / "quintar-bench-catalogue/").string();
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  double t0 = bench::NowSeconds();
  std::vector<int> publicIds = Seed(dir + "catalogue.db");
  report.Info("catalogue of " + std::to_string(kScripts) + " scripts and " + std::to_string(kSystems) +
              " systems written in " + std::to_string(bench::NowSeconds() - t0).substr(0, 5) + " s");
  int port = 0;
  pid_t pid = StartServer(dir, port);
  if (pid < 0) {
    report.Line("catalogue service start", "failed", "starts", false);
    return;
  }
  double clientsCpuBefore = ProcessCpuSeconds(::getpid());
  double start = bench::NowSeconds(), until = start + kSeconds;
  std::vector<ClientStats> stats(kClients);
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c)
    clients.emplace_back(Client, c, port, until, std::cref(publicIds), std::ref(stats[static_cast<size_t>(c)]));
  for (auto& t : clients) t.join();
  double elapsed = bench::NowSeconds() - start;
  double peakMiB = ProcessMiB(pid, "VmHWM:");
  double serverCpu = ProcessCpuSeconds(pid);
  double clientsCpu = ProcessCpuSeconds(::getpid());
  uintmax_t walBytes =
      std::filesystem::exists(dir + "catalogue.db-wal") ? std::filesystem::file_size(dir + "catalogue.db-wal") : 0;
  ::kill(pid, SIGTERM);
  int status = 0;
  ::waitpid(pid, &status, 0);

  std::vector<double> all;
  int failures = 0;
  for (int k = 0; k < kKinds; ++k) {
    std::vector<double> lat;
    size_t bytes = 0;
    for (const auto& s : stats) {
      lat.insert(lat.end(), s.latencies[k].begin(), s.latencies[k].end());
      bytes += s.bytes[k];
    }
    all.insert(all.end(), lat.begin(), lat.end());
    std::sort(lat.begin(), lat.end());
    if (lat.empty()) continue;
    double mean = 0;
    for (double v : lat) mean += v;
    mean /= static_cast<double>(lat.size());
    char line[200];
    std::snprintf(line, sizeof line, "%-8s %7zu requests, mean %6.2f ms, p99 %6.2f ms, mean answer %8.0f bytes",
                  kKindNames[k], lat.size(), mean * 1000, lat[lat.size() * 99 / 100] * 1000,
                  static_cast<double>(bytes) / static_cast<double>(lat.size()));
    report.Info(line);
  }
  char cpu[200];
  std::snprintf(cpu, sizeof cpu,
                "CPU in %.1f s of load: server %.1f s, clients %.1f s; write-ahead log at the end %.1f MiB", elapsed,
                serverCpu, clientsCpu - clientsCpuBefore, static_cast<double>(walBytes) / 1048576.0);
  report.Info(cpu);
  for (const auto& s : stats) {
    if (s.failures && !failures) report.Info("first failed request: " + s.firstFailure);
    failures += s.failures;
  }
  std::sort(all.begin(), all.end());
  double rate = static_cast<double>(all.size()) / elapsed;
  double p99 = all.empty() ? 1e9 : all[all.size() * 99 / 100] * 1000;
  char v[64];
  std::snprintf(v, sizeof v, "%.0f /s", rate);
  report.Line("catalogue: requests per second, 16 clients", v, ">= 1000 /s", rate >= 1000);
  std::snprintf(v, sizeof v, "%.1f ms", p99);
  report.Line("catalogue: 99th percentile of latency", v, "<= 50 ms", p99 <= 50);
  report.Line("catalogue: failed requests", std::to_string(failures), "0", failures == 0);
  std::snprintf(v, sizeof v, "%.1f MiB", peakMiB);
  report.Line("catalogue: server's peak resident memory", v, "< 200 MiB", peakMiB > 0 && peakMiB < 200);
  report.Line("catalogue: server stops on SIGTERM",
              WIFEXITED(status) ? "exit " + std::to_string(WEXITSTATUS(status)) : "killed", "exit 0",
              WIFEXITED(status) && WEXITSTATUS(status) == 0);
  std::filesystem::remove_all(dir);
}
