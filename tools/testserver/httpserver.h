// A small threaded HTTP/1.1 server on plain sockets for tests and demos: one request per connection
// (answers carry "Connection: close"), one thread per connection, handlers that may answer slowly, cut the
// answer short or send raw bytes. It listens on 127.0.0.1; port 0 takes a free port.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <list>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace quintar::testserver {

struct HttpRequest {
  std::string method;
  std::string target;  // as sent: "/path?query", or "http://host:port/path?query" through a proxy
  std::string path;    // without the query, percent-decoded
  std::string query;   // after "?"
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;

  std::string Header(std::string_view name) const;  // "" when missing; names ignore case
  // Query items in order, percent-decoded ("a=1&a=2" gives both).
  std::vector<std::pair<std::string, std::string>> QueryItems() const;
};

class HttpServer;

// The answering side of one connection.
class HttpConnection {
 public:
  HttpConnection(HttpServer& server, int fd) : server_(server), fd_(fd) {}
  // Sends bytes as they are; false when the peer is gone.
  bool Send(std::string_view bytes);
  // Status line, the headers, Content-Length, "Connection: close" and the body.
  bool SendResponse(int status, std::string_view reason,
                    const std::vector<std::pair<std::string, std::string>>& headers, std::string_view body);
  static std::string ResponseHead(int status, std::string_view reason,
                                  const std::vector<std::pair<std::string, std::string>>& headers,
                                  size_t contentLength);
  // Waits; returns false at once when the server is stopping.
  bool Sleep(int ms);

 private:
  HttpServer& server_;
  int fd_;
};

using HttpHandler = std::function<void(const HttpRequest&, HttpConnection&)>;

class HttpServer {
 public:
  explicit HttpServer(HttpHandler handler);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Binds 127.0.0.1:port (0: a free port) and starts serving; returns the port. Raises std::runtime_error.
  int Start(int port = 0);
  void Stop();
  int Port() const { return port_; }
  std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  friend class HttpConnection;
  void AcceptLoop();
  void Serve(int fd);
  bool WaitStop(int ms);

  HttpHandler handler_;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptThread_;
  std::mutex mutex_;
  std::condition_variable stopCv_;
  std::set<int> openFds_;
  std::list<std::thread> workers_;
  std::vector<std::list<std::thread>::iterator> done_;
};

// A port on 127.0.0.1 that nothing listens on (bound, then released).
int UnusedPort();

}  // namespace quintar::testserver
