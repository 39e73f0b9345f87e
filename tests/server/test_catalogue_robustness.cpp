// The catalogue service under what a public service meets: broken and oversized HTTP requests, slow and idle
// connections, many writers at once, SIGKILL at any moment, SIGTERM with a request under way, foreign
// database files, an error inside one request, and the operator's commands while it runs.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "catalogue_testutil.h"
#include "online/taggedtext.h"
#include "online/webrequest.h"
#include "sqlite.h"
#include "testutil.h"
#include "util/safefile.h"

using namespace quintar;
using namespace quintar::test;

namespace {

const Who kAnn{"Анна", "ann@example.org", "hw-ann"};
const Who kBob{"Bob", "bob@example.org", "hw-bob"};

std::string ListBody(const Who& w) { return FormBody(Join({"fltid=0"}, w.Fields())); }

std::string Post(const std::string& path, const std::string& body, const std::string& headers = "") {
  return "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + headers +
         "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

int Connect(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Whether the server has closed the connection (or answered on it) within ms.
bool ClosedWithin(int fd, int ms) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, ms) > 0;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t pos = 0, nl;
  while ((nl = text.find('\n', pos)) != std::string::npos) {
    out.push_back(text.substr(pos, nl - pos));
    pos = nl + 1;
  }
  return out;
}

std::string Sql(const std::string& db, const std::string& query) {
  catalogue::Db c(db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  sqlite3_busy_timeout(c.Handle(), 10000);
  catalogue::Stmt s(c, query.c_str());
  std::string out;
  while (s.Step()) out += s.Text(0) + "\n";
  return out;
}

}  // namespace

TEST(CatalogueRobustness, HttpLimitsAreRefusedAndTheServiceGoesOn) {
  TempDir dir;
  CatalogueServer server(dir.File("c.db"), {"--max-body=4096", "--request-timeout=5"});
  ASSERT_TRUE(server.Started());
  const std::string list = ListBody(kAnn);
  const std::string chunkedHead =
      "POST /scripts/scr_getlist.php HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n";
  auto hex = [](size_t n) {
    char b[16];
    std::snprintf(b, sizeof b, "%zx", n);
    return std::string(b);
  };
  struct Case {
    const char* what;
    std::string request;
    int status;
  };
  const Case cases[] = {
      {"a body announced over --max-body, not sent",
       "POST /scripts/scr_getlist.php HTTP/1.1\r\nHost: x\r\nContent-Length: 4097\r\n\r\n", 413},
      {"a body over --max-body", Post("/scripts/scr_getlist.php", list + std::string(4096, 'x')), 413},
      {"a POST without length", "POST /scripts/scr_getlist.php HTTP/1.1\r\nHost: x\r\n\r\n", 411},
      {"headers over 16 KiB",
       "POST /scripts/scr_getlist.php HTTP/1.1\r\nX-Fill: " + std::string(17000, 'a') + "\r\nContent-Length: 0\r\n\r\n",
       431},
      {"a request line without a version", "POST /scripts/scr_getlist.php\r\n\r\n", 400},
      {"another HTTP version", "POST /scripts/scr_getlist.php HTTP/2.0\r\n\r\n", 505},
      {"conflicting lengths",
       "POST /scripts/scr_getlist.php HTTP/1.1\r\nContent-Length: 3\r\nContent-Length: 4\r\n\r\nabc", 400},
      {"a header without a colon", "POST /scripts/scr_getlist.php HTTP/1.1\r\nBroken\r\n\r\n", 400},
      {"a GET", "GET /scripts/scr_getlist.php HTTP/1.1\r\nHost: x\r\n\r\n", 405},
      {"a HEAD", "HEAD /scripts/scr_getlist.php HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", 405},
      {"an unknown path", Post("/scripts/scr_other.php", list), 404},
      {"a path outside /scripts/", Post("/scr_getlist.php", list), 404},
      {"a multipart body", Post("/scripts/scr_getlist.php", list, "Content-Type: multipart/form-data\r\n"), 415},
      {"a chunked body over --max-body", chunkedHead + "1001\r\n" + std::string(4097, 'x') + "\r\n0\r\n\r\n", 413},
      {"a broken chunk", chunkedHead + "zz\r\n", 400},
      {"a chunked body",
       chunkedHead + hex(10) + "\r\n" + list.substr(0, 10) + "\r\n" + hex(list.size() - 10) + "\r\n" + list.substr(10) +
           "\r\n0\r\n\r\n",
       200},
      {"repeated slashes", Post("//scripts///scr_getlist.php", list), 200},
      {"no Content-Type", Post("/scripts/scr_getlist.php", list), 200},
      {"Expect: 100-continue", Post("/scripts/scr_getlist.php", list, "Expect: 100-continue\r\n"), 200},
  };
  for (const Case& c : cases) {
    auto t0 = std::chrono::steady_clock::now();
    std::string got = RawExchange(server.Port(), c.request, 4000);
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_EQ(HttpStatus(got), c.status) << c.what << "\n" << got.substr(0, 200);
    EXPECT_LT(s, 4.5) << c.what << ": answered only when the request time ran out";
    if (c.status == 200) {
      EXPECT_NE(got.find("</response>\n"), std::string::npos) << c.what;
    }
  }
  EXPECT_NE(RawExchange(server.Port(),
                        "POST /scripts/scr_getlist.php HTTP/1.1\r\nExpect: 100-continue\r\n"
                        "Content-Length: " +
                            std::to_string(list.size()) + "\r\n\r\n",
                        1000)
                .find("HTTP/1.1 100 Continue"),
            std::string::npos);
  // An error inside one request is a 500 with a refusal row, and the service goes on.
  ASSERT_EQ(Call(server, "scr_putscript", PublishForm(-1, "T", "", "1;NUMS;1\r\n", false, true, kAnn)).error, "");
  Sql(dir.File("c.db"), "ALTER TABLE ratings RENAME TO ratings_away");
  std::string failed = RawExchange(server.Port(), Post("/scripts/scr_setrate.php", FormBody(RateForm(1, 3, "", kBob))));
  EXPECT_EQ(HttpStatus(failed), 500);
  EXPECT_NE(ReadAnswer(failed.substr(failed.find("\r\n\r\n") + 4)).error, "");
  EXPECT_EQ(Call(server, "scr_getlist", Join({"fltid=0"}, kBob.Fields())).rows.size(), 1u);
  Sql(dir.File("c.db"), "ALTER TABLE ratings_away RENAME TO ratings");
  EXPECT_EQ(Call(server, "scr_setrate", RateForm(1, 3, "", kBob)).rows[0]["res_code"], "0");

  // One log line per request, never a form value.
  std::string log = server.Log();
  EXPECT_NE(log.find(" /scripts/scr_getlist.php 413 "), std::string::npos);
  EXPECT_NE(log.find(" /scripts/scr_putscript.php 200 "), std::string::npos);
  EXPECT_EQ(log.find("ann@example.org"), std::string::npos);
  EXPECT_EQ(server.Stop(SIGTERM), 0);
}

TEST(CatalogueRobustness, SlowConnectionsNeverHoldUpOthers) {
  TempDir dir;
  CatalogueServer server(dir.File("c.db"), {"--request-timeout=5"});
  ASSERT_TRUE(server.Started());
  std::vector<int> slow;
  for (int i = 0; i < 40; ++i) {
    int fd = Connect(server.Port());
    ASSERT_GE(fd, 0);
    if (i % 4) {  // three of four send part of a request, the others nothing at all
      std::string part = Post("/scripts/scr_getlist.php", ListBody(kAnn)).substr(0, 60 + static_cast<size_t>(i));
      ASSERT_GT(::send(fd, part.data(), part.size(), MSG_NOSIGNAL), 0);
    }
    slow.push_back(fd);
  }
  // Lists, and a few writes (a write waits for the disk).
  for (int i = 0; i < 20; ++i) {
    std::vector<std::string> publish = PublishForm(-1, "S" + std::to_string(i), "", "1;NUMS;1\r\n", false, true, kAnn);
    Answer a =
        i % 4 ? Call(server, "scr_getlist", Join({"fltid=0"}, kAnn.Fields())) : Call(server, "scr_putscript", publish);
    EXPECT_EQ(a.error, "");
  }
  // All of that was served while the slow ones were still waiting, and each of them is then closed.
  for (int fd : slow) EXPECT_FALSE(ClosedWithin(fd, 0));
  for (int fd : slow) {
    EXPECT_TRUE(ClosedWithin(fd, 8000));
    ::close(fd);
  }
  EXPECT_EQ(Call(server, "scr_getlist", Join({"fltid=0"}, kAnn.Fields())).rows.size(), 5u);
}

TEST(CatalogueRobustness, ConcurrentWritesSurviveSigkill) {
  TempDir dir;
  const std::string db = dir.File("c.db");
  auto server = std::make_unique<CatalogueServer>(db);
  ASSERT_TRUE(server->Started());
  std::atomic<bool> killed{false};
  std::atomic<int> failures{0};
  std::mutex mutex;
  std::map<int, std::string> published;  // answered publishes: id -> title
  std::set<int> deleted;                 // answered deletes
  std::set<int> cutOff;                  // deletes the kill cut off: done or not, either is right
  std::vector<std::thread> writers;
  for (int t = 0; t < 8; ++t) {
    writers.emplace_back([&, t] {
      Who me{"Писатель " + std::to_string(t), "w" + std::to_string(t) + "@example.org", "hw-" + std::to_string(t)};
      std::vector<int> mine;
      for (int n = 0; !killed; ++n) {
        try {
          std::string title = "Сценарий " + std::to_string(t) + "-" + std::to_string(n);
          Answer a;
          if (n % 4 == 3 && !mine.empty()) {
            int id = mine.back();
            {
              std::lock_guard<std::mutex> lock(mutex);
              cutOff.insert(id);
            }
            a = Call(*server, "scr_putscript", DeleteScriptForm(id, me));
            {
              std::lock_guard<std::mutex> lock(mutex);
              cutOff.erase(id);
            }
            if (a.error.empty()) {
              mine.pop_back();
              std::lock_guard<std::mutex> lock(mutex);
              deleted.insert(id);
            }
          } else if (n % 4 == 2 && !mine.empty()) {
            a = Call(*server, "scr_setrate", RateForm(mine.front(), 1 + n % 5, "оценка " + title, me));
          } else {
            a = Call(*server, "scr_putscript",
                     PublishForm(-1, title, "", "1;NUMS;" + std::to_string(n) + "\r\n", false, n % 2 == 0, me));
            if (a.error.empty()) {
              int id = std::stoi(a.rows.back()["id_scripts"]);
              mine.push_back(id);
              std::lock_guard<std::mutex> lock(mutex);
              published[id] = title;
            }
          }
          if (!a.error.empty()) ++failures;
        } catch (const std::exception&) {
          if (!killed) ++failures;  // only the kill may cut a request off
        }
      }
    });
  }
  // The operator's commands are safe while the server works.
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  std::string out;
  EXPECT_EQ(RunCatalogueServer({"--db=" + db, "--backup=" + dir.File("backup.db")}, &out), 0);
  EXPECT_EQ(RunCatalogueServer({"--db=" + db, "--list=scripts"}), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  killed = true;
  EXPECT_EQ(server->Stop(SIGKILL), 128 + SIGKILL);
  for (auto& w : writers) w.join();
  EXPECT_EQ(failures, 0);
  ASSERT_GT(published.size(), 20u);

  server = std::make_unique<CatalogueServer>(db);
  ASSERT_TRUE(server->Started());
  std::map<int, std::string> found;
  for (int t = 0; t < 8; ++t) {
    Who me{"", "w" + std::to_string(t) + "@example.org", "hw-" + std::to_string(t)};
    for (const Row& r : Call(*server, "scr_getlist", Join({"fltid=2"}, me.Fields())).rows)
      found[std::stoi(r["id"])] = FromBase64(r["title"]);
  }
  for (const auto& [id, title] : published) {
    if (cutOff.count(id)) continue;
    if (deleted.count(id)) {
      EXPECT_EQ(found.count(id), 0u) << "deleted script " << id << " is back";
    } else {
      EXPECT_EQ(found[id], title) << "answered script " << id << " was lost";
    }
  }
  EXPECT_EQ(Sql(db, "PRAGMA integrity_check"), "ok\n");
  EXPECT_EQ(Sql(db, "SELECT COUNT(*) FROM ratings WHERE script_id NOT IN (SELECT id FROM scripts)"), "0\n");
  EXPECT_EQ(RunCatalogueServer({"--db=" + dir.File("backup.db"), "--list=scripts"}, &out), 0);
  EXPECT_FALSE(out.empty());
}

TEST(CatalogueRobustness, StopsGracefullyWithARequestUnderWay) {
  TempDir dir;
  for (int sig : {SIGTERM, SIGINT}) {
    CatalogueServer server(dir.File("c.db"));
    ASSERT_TRUE(server.Started());
    std::string request =
        Post("/scripts/scr_putscript.php",
             FormBody(PublishForm(-1, "Под сигналом " + std::to_string(sig), "", "1;NUMS;1\r\n", false, true, kAnn)));
    int fd = Connect(server.Port());
    int idle = Connect(server.Port());
    size_t half = request.size() / 2;
    ASSERT_GT(::send(fd, request.data(), half, MSG_NOSIGNAL), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::kill(server.Pid(), sig);
    EXPECT_TRUE(ClosedWithin(idle, 3000));  // idle connections go at once
    EXPECT_LT(Connect(server.Port()), 0);   // and nothing new is accepted
    ASSERT_GT(::send(fd, request.data() + half, request.size() - half, MSG_NOSIGNAL), 0);
    std::string got;
    char buf[4096];
    ssize_t n;
    while (ClosedWithin(fd, 3000) && (n = ::recv(fd, buf, sizeof buf, 0)) > 0) got.append(buf, static_cast<size_t>(n));
    ::close(fd);
    ::close(idle);
    EXPECT_EQ(HttpStatus(got), 200);
    EXPECT_NE(got.find("<id_scripts>"), std::string::npos);
    EXPECT_EQ(server.Stop(0), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File("c.db-wal")));  // closed cleanly
  }
  EXPECT_EQ(Sql(dir.File("c.db"), "SELECT COUNT(*) FROM scripts"), "2\n");
}

TEST(CatalogueRobustness, OperatorCommandsWhileTheServerRuns) {
  TempDir dir;
  const std::string db = "--db=" + dir.File("c.db");
  CatalogueServer server(dir.File("c.db"));
  ASSERT_TRUE(server.Started());
  const std::string script = "1;NUMS;1\r\n";
  ASSERT_EQ(Call(server, "scr_putscript", PublishForm(-1, "Один", "", script, false, true, kAnn)).error, "");
  ASSERT_EQ(Call(server, "scr_putscript", PublishForm(-1, "Два", "", script, false, false, kAnn)).error, "");
  ASSERT_EQ(Call(server, "sys_putdata", SystemForm(0, 0, 8, 0, "Система", "D", "1 2 3 4 5 6 7\r\n", 1, "", kAnn)).error,
            "");
  std::string out, err;
  ASSERT_EQ(RunCatalogueServer({db, "--list=scripts"}, &out), 0);
  std::vector<std::string> lines = Lines(out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].substr(0, lines[1].rfind('\t', lines[1].rfind('\t') - 1)),
            "2\tДва\tАнна\tann@example.org\thw-ann\t0");
  ASSERT_EQ(RunCatalogueServer({db, "--list=systems"}, &out), 0);
  EXPECT_EQ(out.substr(0, out.find('\t', out.find("hw-ann"))), "1\tСистема\tАнна\tann@example.org\thw-ann");

  // A user who changed machine and e-mail gets his script back; the old identity no longer owns it.
  Who moved{"Анна", "Anna@new.example.org", "hw-new"};
  EXPECT_EQ(RunCatalogueServer({db, "--set-owner=script:1", "--mail=Anna@new.example.org", "--hwdid=hw-new"}, &out), 0);
  EXPECT_NE(Call(server, "scr_putscript", PublishForm(1, "Один", "", script, false, true, kAnn)).error, "");
  EXPECT_EQ(Call(server, "scr_putscript", PublishForm(1, "Один+", "", script, false, true, moved)).error, "");
  EXPECT_EQ(Call(server, "scr_getlist", Join({"fltid=2"}, moved.Fields())).rows.at(0)["key_cl_mail"],
            "Anna@new.example.org");

  // Removals show in the server's lists at once.
  EXPECT_EQ(RunCatalogueServer({db, "--remove=script:2"}, &out), 0);
  Answer left = Call(server, "scr_getlist", Join({"fltid=0"}, kAnn.Fields()));
  ASSERT_EQ(left.rows.size(), 1u);
  EXPECT_EQ(left.rows[0]["id"], "1");
  EXPECT_EQ(RunCatalogueServer({db, "--remove=script:2"}, &out, &err), 1);
  EXPECT_NE(err, "");
  EXPECT_EQ(RunCatalogueServer({db, "--remove=system:1"}, &out), 0);
  EXPECT_TRUE(Call(server, "sys_getlist", Join({"comblen=7", "maxnums=35"}, kAnn.Fields())).rows.empty());
  EXPECT_EQ(RunCatalogueServer({db, "--backup=" + dir.File("copy.db")}, &out), 0);
  EXPECT_EQ(RunCatalogueServer({"--db=" + dir.File("copy.db"), "--list=scripts"}, &out), 0);
  EXPECT_EQ(Lines(out).size(), 1u);

  struct Bad {
    std::vector<std::string> args;
    int status;
  };
  const Bad bad[] = {
      {{db, "--remove=script:x"}, 2},
      {{db, "--remove=file:1"}, 2},
      {{db, "--set-owner=script:1", "--mail=a@b"}, 2},
      {{db, "--list=scripts", "--backup=x"}, 2},
      {{db, "--unknown"}, 2},
      {{"--list=scripts"}, 2},
      {{db, "--set-owner=script:1", "--mail=no-at", "--hwdid=h"}, 1},
      {{db, "--set-owner=script:9", "--mail=a@b", "--hwdid=h"}, 1},
      {{"--db=" + dir.File("none.db"), "--list=scripts"}, 1},
  };
  for (const Bad& b : bad) EXPECT_EQ(RunCatalogueServer(b.args, &out, &err), b.status) << b.args.back();
}

TEST(CatalogueRobustness, ForeignFilesAreRefusedUntouched) {
  TempDir dir;
  // A file of another kind, an SQLite database of another program, a catalogue of a newer version.
  WriteBytes(dir.File("text.db"), "not a database at all\n");
  Sql(dir.File("other.db"), "CREATE TABLE notes(a)");
  {
    CatalogueServer s(dir.File("newer.db"));
    ASSERT_TRUE(s.Started());
  }
  Sql(dir.File("newer.db"), "PRAGMA user_version=99");
  for (const char* name : {"text.db", "other.db", "newer.db"}) {
    std::string before = ReadWholeFile(dir.File(name));
    std::string err;
    EXPECT_EQ(RunCatalogueServer({"--db=" + dir.File(name), "--listen=127.0.0.1:0"}, nullptr, &err), 1) << name;
    EXPECT_NE(err.find(dir.File(name)), std::string::npos) << err;
    EXPECT_EQ(ReadWholeFile(dir.File(name)), before) << name;
    EXPECT_EQ(RunCatalogueServer({"--db=" + dir.File(name), "--list=scripts"}), 1) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("text.db-wal")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("other.db-wal")));

  // An empty file gets the schema; an address other than loopback needs --allow-remote.
  WriteBytes(dir.File("empty.db"), "");
  CatalogueServer fresh(dir.File("empty.db"));
  ASSERT_TRUE(fresh.Started());
  EXPECT_TRUE(Call(fresh, "scr_getlist", Join({"fltid=0"}, kAnn.Fields())).rows.empty());
  std::string err;
  EXPECT_EQ(RunCatalogueServer({"--db=" + dir.File("r.db"), "--listen=0.0.0.0:0"}, nullptr, &err), 1);
  EXPECT_NE(err.find("--allow-remote"), std::string::npos);
  CatalogueServer remote(dir.File("r.db"), {"--listen=0.0.0.0:0", "--allow-remote"});
  EXPECT_TRUE(remote.Started());
}
