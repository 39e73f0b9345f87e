// The catalogue service's HTTP/1.1 front: one thread waits on every socket at once (epoll), so that slow or
// idle connections cost nothing and never hold up others; a complete request goes to the handler, whose
// answer may come back later from any thread. The limits are checked while the request comes in: the
// request line and headers at most MaxHead bytes (431), a body at most MaxBody bytes (413, answered from the
// headers alone), a POST without a length 411, a request not complete within RequestTimeoutMs 408.
#pragma once

#include <netinet/in.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quintar::catalogue {

struct HttpLimits {
  size_t MaxBody = 8388608;
  size_t MaxHead = 16384;
  int RequestTimeoutMs = 30000;
  int StopGraceMs = 5000;
  size_t MaxConnections = 1000;
  // The bodies of all requests being received or served together, at most (a larger one: 503), so that many
  // large uploads at once cannot exhaust the memory.
  size_t MaxBuffered = size_t(256) << 20;
};

struct HttpRequest {
  std::string Method;
  std::string Target;  // as sent
  std::string Path;    // without the query, runs of "/" taken as one
  std::vector<std::pair<std::string, std::string>> Headers;
  std::string Body;
  std::string Peer;  // "address:port"
  // The first header of that name (names ignore case); "" when missing.
  std::string Header(std::string_view name) const;
  bool HasHeader(std::string_view name) const;
};

struct HttpResponse {
  int Status = 200;
  std::string ContentType = "text/xml; charset=utf-8";
  std::string Body;
  std::vector<std::pair<std::string, std::string>> Headers;  // added to the usual ones
};

// Hands the answer of one request back; call it once, from any thread. Calls after the connection has gone
// are ignored.
using HttpReply = std::function<void(HttpResponse)>;
using HttpHandler = std::function<void(HttpRequest&&, HttpReply)>;

// One line per request: time (UTC), peer, path, status, duration, answer size. Never a form value.
class RequestLog {
 public:
  explicit RequestLog(std::FILE* out) : out_(out) {}
  void Write(const std::string& peer, std::string_view path, int status, double ms, size_t size);
  void Note(const std::string& text);  // a line of the server's own

 private:
  std::mutex mutex_;
  std::FILE* out_;
};

class HttpServer {
 public:
  HttpServer(HttpHandler handler, HttpLimits limits, RequestLog* log);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Binds HOST:PORT (port 0: a free port) and listens; an address that is not a loopback address is refused
  // unless allowRemote. Raises std::runtime_error. Answers the port.
  int Listen(const std::string& host, int port, bool allowRemote);
  // Serves until Stop; returns once every connection is closed.
  void Run();
  // Stops accepting, lets the requests under way finish (at most StopGraceMs), then makes Run return. Safe
  // from any thread.
  void Stop();

 private:
  struct Conn;
  using Clock = std::chrono::steady_clock;

  void Wake();
  void AcceptAll();
  void OnReadable(Conn& c);
  void OnWritable(Conn& c);
  void Advance(Conn& c);
  bool ParseHead(Conn& c, size_t headLen);
  bool ParseChunks(Conn& c);
  void Dispatch(Conn& c);
  void SendError(Conn& c, int status, std::string_view text);
  void StartWrite(Conn& c, HttpResponse&& r, bool close);
  void FinishWrite(Conn& c);
  void WatchFor(Conn& c, uint32_t events);
  void CloseConn(Conn& c);
  void CheckTimers();
  void TakeReplies();
  void BeginStop();

  HttpHandler handler_;
  HttpLimits limits_;
  RequestLog* log_;
  int listenFd_ = -1;
  int epollFd_ = -1;
  int wakeFd_ = -1;
  uint64_t nextId_ = 1;
  size_t buffered_ = 0;  // the body bytes the connections hold or announced
  std::unordered_map<uint64_t, std::unique_ptr<Conn>> conns_;
  std::atomic<bool> stopRequested_{false};
  bool stopping_ = false;
  bool acceptPaused_ = false;  // out of descriptors: accepting again at the next timer round
  Clock::time_point stopDeadline_;
  Clock::time_point lastScan_;

  std::mutex replyMutex_;
  std::vector<std::pair<uint64_t, HttpResponse>> replies_;
};

// True for 127.0.0.0/8, ::1 and IPv4-mapped loopback addresses.
bool IsLoopbackAddress(const sockaddr* addr);

}  // namespace quintar::catalogue
