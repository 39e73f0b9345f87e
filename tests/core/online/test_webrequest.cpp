#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <mutex>

#include "httpserver.h"
#include "online/webrequest.h"
#include "resultssite.h"
#include "testutil.h"
#include "util/safefile.h"

using namespace quintar;
using namespace quintar::testserver;
using quintar::test::MakeDraw;
using quintar::test::TempDir;

namespace {

// Answers every request with what it received, so that a test can look at the request.
class EchoServer {
 public:
  EchoServer()
      : server_([this](const HttpRequest& req, HttpConnection& conn) {
          {
            std::lock_guard<std::mutex> lock(mutex_);
            last_ = req;
          }
          conn.SendResponse(200, "OK", {{"Content-Type", "text/plain"}}, req.method + " " + req.target);
        }) {
    server_.Start();
  }
  std::string Url(const std::string& path) const { return server_.BaseUrl() + path; }
  HttpRequest Last() {
    std::lock_guard<std::mutex> lock(mutex_);
    return last_;
  }
  int Port() const { return server_.Port(); }

 private:
  std::mutex mutex_;
  HttpRequest last_;
  HttpServer server_;
};

// "openssl s_server -www" on a free port with a fresh self-signed certificate: a TLS server that answers
// every GET with a status page.
class TlsServer {
 public:
  explicit TlsServer(const std::string& versionSwitch) {
    if (::access(kOpenssl, X_OK) != 0) return;
    std::string key = dir_.File("key.pem"), cert = dir_.File("cert.pem");
    if (Run({kOpenssl, "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-subj",
             "/CN=quintar.test", "-days", "1", "-keyout", key, "-out", cert},
            nullptr) != 0)
      return;
    int out = -1;
    pid_ = Start({kOpenssl, "s_server", "-accept", "127.0.0.1:0", "-cert", cert, "-key", key, "-www", versionSwitch},
                 &out);
    FILE* f = ::fdopen(out, "r");
    char line[256];
    while (f && std::fgets(line, sizeof line, f)) {
      std::string l = line;
      if (l.rfind("ACCEPT", 0) == 0) {
        port_ = std::atoi(l.substr(l.rfind(':') + 1).c_str());
        break;
      }
    }
    if (f) std::fclose(f);
  }
  ~TlsServer() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  bool Ready() const { return port_ > 0; }
  std::string Url(const std::string& scheme = "https") const {
    return scheme + "://127.0.0.1:" + std::to_string(port_) + "/";
  }

 private:
  static constexpr const char* kOpenssl = "/usr/bin/openssl";
  static pid_t Start(const std::vector<std::string>& args, int* out) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    pid_t pid = ::fork();
    if (pid == 0) {
      int devnull = ::open("/dev/null", O_WRONLY);
      ::dup2(out ? fds[1] : devnull, 1);
      ::dup2(devnull, 2);
      ::close(fds[0]);
      ::close(fds[1]);
      std::vector<std::string> copy = args;
      std::vector<char*> argv;
      for (auto& a : copy) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(fds[1]);
    if (out)
      *out = fds[0];
    else
      ::close(fds[0]);
    return pid;
  }
  static int Run(const std::vector<std::string>& args, int* out) {
    pid_t pid = Start(args, out);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  TempDir dir_;
  pid_t pid_ = -1;
  int port_ = 0;
};

bool Ready(const TlsServer& s) { return s.Ready(); }

class WebRequest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallDrawDateHooks();
    site.SetDraws({MakeDraw(1144, {4, 5, 9, 13, 25, 32, 33}, 7, "19 Apr 2018"),
                   MakeDraw(1145, {9, 14, 15, 19, 24, 34, 35}, 12, "26 Apr 2018")});
    site.Start();
  }
  std::string Page(const std::string& month = "april-2018") { return site.BaseUrl() + "/powerball/results/" + month; }
  ResultsSite site;
};

}  // namespace

TEST_F(WebRequest, GetSendsTheHeaderSetAndReturnsTheBodyAsSent) {
  std::string text = WebGetText(Page(), true);
  EXPECT_EQ(text, site.MonthPage(201804));
  EXPECT_NE(text.find("抽選"), std::string::npos);  // bytes as sent, no conversion
  EXPECT_EQ(site.LastHeader("Accept"), kAcceptDefault);
  EXPECT_EQ(site.LastHeader("Accept-Encoding"), "gzip, deflate, sdch");
  EXPECT_EQ(site.LastHeader("User-Agent"), kUserAgent);
  TWebOptions pages;
  pages.Accept = kAcceptPages;
  WebGetText(Page(), true, pages);
  EXPECT_EQ(site.LastHeader("Accept"), kAcceptPages);
}

TEST_F(WebRequest, GzipAndDeflateBodiesAreDecoded) {
  site.AddFault(Fault::Gzip, 201804, 1);
  site.AddFault(Fault::Deflate, 201805, 1);
  EXPECT_EQ(WebGetText(Page(), true), site.MonthPage(201804));
  EXPECT_EQ(WebGetText(Page("may-2018"), true), site.MonthPage(201805));
}

TEST_F(WebRequest, RedirectsFollowedOrReported) {
  site.AddFault(Fault::Redirect, 201804);
  EXPECT_EQ(WebGetText(Page(), true), site.MonthPage(201804));
  try {
    WebGetText(Page(), false);
    FAIL() << "a redirect not followed must not pass for an answer";
  } catch (const EWebError& e) {
    EXPECT_EQ(e.HttpStatus, 302);
    EXPECT_STREQ(e.what(), "HTTP/1.1 302 Found");
  }
}

TEST_F(WebRequest, TransportFailuresRaiseWithTheClientsMessage) {
  site.AddFault(Fault::Http500, 201804, 1);
  try {
    WebGetText(Page(), true);
    FAIL();
  } catch (const EWebError& e) {
    EXPECT_EQ(e.HttpStatus, 500);
    EXPECT_STREQ(e.what(), "HTTP/1.1 500 Internal Server Error");
  }
  EXPECT_THROW(WebGetText(site.BaseUrl() + "/nowhere", true), EWebError);
  // Nothing listens there.
  EXPECT_THROW(WebGetText("http://127.0.0.1:" + std::to_string(UnusedPort()) + "/", true), EWebError);
  // Only web addresses are fetched.
  EXPECT_THROW(WebGetText("file:///etc/passwd", true), EWebError);
  // A body cut short is a failure, not a shorter text.
  site.AddFault(Fault::Cut, 201804, 1);
  EXPECT_THROW(WebGetText(Page(), true), EWebError);
}

TEST_F(WebRequest, ReadTimeOutEndsTheWait) {
  site.SetSlowMs(5000);
  TWebOptions o;
  o.ReadTimeoutMs = 300;
  int idle = 0;
  o.Idle = [&] { ++idle; };
  for (Fault f : {Fault::Slow, Fault::Stall}) {
    site.AddFault(f, 201804, 1);
    auto start = std::chrono::steady_clock::now();
    try {
      WebGetText(Page(), true, o);
      FAIL() << FaultName(f);
    } catch (const EWebError& e) {
      EXPECT_NE(std::string(e.what()).find("timed out"), std::string::npos) << e.what();
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 2.5) << FaultName(f);
  }
  EXPECT_GT(idle, 4);  // the window would have stayed painted meanwhile
  // A slow answer within the limit is fine.
  site.SetSlowMs(200);
  site.AddFault(Fault::Slow, 201804, 1);
  o.ReadTimeoutMs = 2000;
  EXPECT_EQ(WebGetText(Page(), true, o), site.MonthPage(201804));
}

TEST_F(WebRequest, RequestsThroughAProxy) {
  EchoServer proxy;
  TWebOptions o;
  o.Proxy = TWebProxy{"127.0.0.1", proxy.Port(), "user", "pa:ss"};
  std::string answer = WebGetText("http://results.invalid/powerball/results/april-2018", true, o);
  EXPECT_EQ(answer, "GET http://results.invalid/powerball/results/april-2018");
  EXPECT_EQ(proxy.Last().Header("Proxy-Authorization"), "Basic dXNlcjpwYTpzcw==");
  // Without a proxy the environment's proxy is not used either.
  setenv("http_proxy", ("http://127.0.0.1:" + std::to_string(UnusedPort())).c_str(), 1);
  EXPECT_EQ(WebGetText(Page(), true), site.MonthPage(201804));
  unsetenv("http_proxy");
}

TEST(WebPost, FormValuesArePercentEncodedInOrder) {
  EchoServer echo;
  std::string answer = WebPostForm(echo.Url("/scripts/list.php"), {"name=Иван & Co", "id=5", "text=a+b=c?"}, true);
  EXPECT_EQ(answer, "POST /scripts/list.php");
  HttpRequest req = echo.Last();
  EXPECT_EQ(req.body, "name=%D0%98%D0%B2%D0%B0%D0%BD%20%26%20Co&id=5&text=a%2Bb%3Dc%3F");
  EXPECT_EQ(req.Header("Content-Type"), "application/x-www-form-urlencoded");
  auto items = HttpRequest{"", "", "", req.body, {}, ""}.QueryItems();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].second, "Иван & Co");
  EXPECT_EQ(items[2].second, "a+b=c?");
}

TEST_F(WebRequest, GetToFileReplacesTheFileOnlyWhenTheWholeAnswerCame) {
  TempDir dir;
  std::string file = dir.File("update.bin");
  site.AddFault(Fault::Gzip, 201804, 1);
  WebGetToFile(Page(), file);
  EXPECT_EQ(ReadWholeFile(file), site.MonthPage(201804));
  WriteFileAtomic(file, "old");
  site.AddFault(Fault::Cut, 201804, 1);
  EXPECT_THROW(WebGetToFile(Page(), file), EWebError);
  site.AddFault(Fault::Http500, 201804, 1);
  EXPECT_THROW(WebGetToFile(Page(), file), EWebError);
  EXPECT_EQ(ReadWholeFile(file), "old");
  EXPECT_THROW(WebGetToFile(Page(), dir.File("no/such/folder/x")), std::exception);
}

TEST(WebTls, CertificateNotVerifiedAndVersionsAsAsked) {
  TlsServer any("-no_ssl3");
  if (!Ready(any)) GTEST_SKIP() << "no openssl program";
  // A self-signed certificate for another name passes; the scheme is matched ignoring case.
  EXPECT_NE(WebGetText(any.Url(), true).find("s_server"), std::string::npos);
  EXPECT_NE(WebGetText(any.Url("HTTPS"), true).find("s_server"), std::string::npos);

  TWebOptions tls12;
  tls12.Tls = TTlsVersion::Tls12Only;
  TlsServer only13("-tls1_3");
  ASSERT_TRUE(Ready(only13));
  EXPECT_THROW(WebGetText(only13.Url(), true, tls12), EWebError);
  EXPECT_NE(WebGetText(only13.Url(), true).find("s_server"), std::string::npos);
  TlsServer only12("-tls1_2");
  ASSERT_TRUE(Ready(only12));
  EXPECT_NE(WebGetText(only12.Url(), true, tls12).find("s_server"), std::string::npos);
}
