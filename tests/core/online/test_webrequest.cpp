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
#include "tlsserver.h"
#include "util/safefile.h"

using namespace quintar;
using namespace quintar::testserver;
using quintar::test::MakeDraw;
using quintar::test::TempDir;
using quintar::test::TlsServer;

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
  // A checked redirect: every new address is handed over before it is asked for; a refusal ends it there.
  std::vector<std::string> seen;
  TWebOptions checked;
  checked.CheckRedirect = [&](const std::string& url) { seen.push_back(url); };
  TempDir dir;
  WebGetToFile(Page(), dir.File("page"), checked);
  EXPECT_EQ(ReadWholeFile(dir.File("page")), site.MonthPage(201804));  // the redirect's own body is not in it
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], site.BaseUrl() + "/r/powerball/results/april-2018");
  checked.CheckRedirect = [](const std::string& url) { throw EWebError("refused " + url); };
  const int before = site.PageRequests(201804);
  EXPECT_THROW(WebGetText(Page(), true, checked), EWebError);
  EXPECT_EQ(site.PageRequests(201804), before + 1);
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

  // TLS 1.2 or later takes both; with verification the self-signed certificate fails the request.
  TWebOptions up;
  up.Tls = TTlsVersion::Tls12Up;
  EXPECT_NE(WebGetText(only13.Url(), true, up).find("s_server"), std::string::npos);
  EXPECT_NE(WebGetText(only12.Url(), true, up).find("s_server"), std::string::npos);
  up.VerifyPeer = true;
  try {
    WebGetText(only12.Url(), true, up);
    FAIL() << "an unverifiable certificate must fail";
  } catch (const EWebError& e) {
    EXPECT_NE(std::string(e.what()).find("certificate"), std::string::npos) << e.what();
  }
}
