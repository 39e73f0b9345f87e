#include "httpserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

namespace quintar::testserver {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string PercentDecode(std::string_view s, bool plusIsSpace) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    auto hex = [](char c) {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      if (c >= 'A' && c <= 'F') return c - 'A' + 10;
      return -1;
    };
    if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
      out += static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2]));
      i += 2;
    } else if (plusIsSpace && s[i] == '+') {
      out += ' ';
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string TrimSpaces(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return std::string(s.substr(b, e - b));
}

bool ParseHead(const std::string& head, HttpRequest& req) {
  size_t eol = head.find("\r\n");
  std::string line = head.substr(0, eol);
  size_t s1 = line.find(' ');
  size_t s2 = line.rfind(' ');
  if (s1 == std::string::npos || s2 == s1) return false;
  req.method = line.substr(0, s1);
  req.target = line.substr(s1 + 1, s2 - s1 - 1);
  std::string target = req.target;
  // An absolute target (a request through a proxy) keeps only its path here.
  if (target.rfind("http://", 0) == 0 || target.rfind("https://", 0) == 0) {
    size_t slash = target.find('/', target.find("//") + 2);
    target = slash == std::string::npos ? "/" : target.substr(slash);
  }
  size_t q = target.find('?');
  req.path = PercentDecode(target.substr(0, q), false);
  req.query = q == std::string::npos ? "" : target.substr(q + 1);
  size_t pos = eol == std::string::npos ? head.size() : eol + 2;
  while (pos < head.size()) {
    size_t e = head.find("\r\n", pos);
    if (e == std::string::npos) e = head.size();
    std::string h = head.substr(pos, e - pos);
    pos = e + 2;
    size_t colon = h.find(':');
    if (colon == std::string::npos) continue;
    req.headers.emplace_back(TrimSpaces(h.substr(0, colon)), TrimSpaces(h.substr(colon + 1)));
  }
  return true;
}

}  // namespace

std::string HttpRequest::Header(std::string_view name) const {
  for (const auto& [k, v] : headers)
    if (SameName(k, name)) return v;
  return "";
}

std::vector<std::pair<std::string, std::string>> HttpRequest::QueryItems() const {
  std::vector<std::pair<std::string, std::string>> items;
  size_t pos = 0;
  while (pos <= query.size() && !query.empty()) {
    size_t amp = query.find('&', pos);
    if (amp == std::string::npos) amp = query.size();
    std::string item = query.substr(pos, amp - pos);
    if (!item.empty()) {
      size_t eq = item.find('=');
      if (eq == std::string::npos)
        items.emplace_back(PercentDecode(item, true), "");
      else
        items.emplace_back(PercentDecode(item.substr(0, eq), true), PercentDecode(item.substr(eq + 1), true));
    }
    pos = amp + 1;
  }
  return items;
}

bool HttpConnection::Send(std::string_view bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

std::string HttpConnection::ResponseHead(int status, std::string_view reason,
                                         const std::vector<std::pair<std::string, std::string>>& headers,
                                         size_t contentLength) {
  std::string head = "HTTP/1.1 " + std::to_string(status) + " " + std::string(reason) + "\r\n";
  for (const auto& [k, v] : headers) head += k + ": " + v + "\r\n";
  head += "Content-Length: " + std::to_string(contentLength) + "\r\n";
  head += "Connection: close\r\n\r\n";
  return head;
}

bool HttpConnection::SendResponse(int status, std::string_view reason,
                                  const std::vector<std::pair<std::string, std::string>>& headers,
                                  std::string_view body) {
  return Send(ResponseHead(status, reason, headers, body.size()) + std::string(body));
}

bool HttpConnection::Sleep(int ms) { return server_.WaitStop(ms); }

HttpServer::HttpServer(HttpHandler handler) : handler_(std::move(handler)) {}

HttpServer::~HttpServer() { Stop(); }

int HttpServer::Start(int port) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
  int one = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) < 0 || ::listen(listenFd_, 64) < 0) {
    std::string msg = std::string("bind 127.0.0.1:") + std::to_string(port) + ": " + std::strerror(errno);
    ::close(listenFd_);
    listenFd_ = -1;
    throw std::runtime_error(msg);
  }
  socklen_t len = sizeof addr;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  stopping_ = false;
  acceptThread_ = std::thread([this] { AcceptLoop(); });
  return port_;
}

void HttpServer::Stop() {
  if (listenFd_ < 0) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    for (int fd : openFds_) ::shutdown(fd, SHUT_RDWR);
  }
  stopCv_.notify_all();
  ::shutdown(listenFd_, SHUT_RDWR);
  if (acceptThread_.joinable()) acceptThread_.join();
  ::close(listenFd_);
  listenFd_ = -1;
  std::list<std::thread> workers;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    workers.swap(workers_);
  }
  for (auto& t : workers)
    if (t.joinable()) t.join();
  std::lock_guard<std::mutex> lock(mutex_);
  done_.clear();
}

bool HttpServer::WaitStop(int ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  return !stopCv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_.load(); });
}

void HttpServer::AcceptLoop() {
  while (!stopping_) {
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      break;  // the listening socket was shut down
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) {
      ::close(fd);
      break;
    }
    // Threads that have ended are joined here, so that a long run keeps only the live ones.
    for (auto done : done_) {
      done->join();
      workers_.erase(done);
    }
    done_.clear();
    openFds_.insert(fd);
    auto it = workers_.emplace(workers_.end());
    *it = std::thread([this, fd, it] {
      Serve(fd);
      std::lock_guard<std::mutex> l(mutex_);
      done_.push_back(it);
    });
  }
}

void HttpServer::Serve(int fd) {
  timeval tv{5, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  std::string data;
  char buf[8192];
  size_t headEnd = std::string::npos;
  while (headEnd == std::string::npos && data.size() < 65536) {
    ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    data.append(buf, static_cast<size_t>(n));
    headEnd = data.find("\r\n\r\n");
  }
  HttpRequest req;
  if (headEnd != std::string::npos && ParseHead(data.substr(0, headEnd), req)) {
    req.body = data.substr(headEnd + 4);
    size_t want = 0;
    try {
      want = std::stoul(req.Header("Content-Length").empty() ? "0" : req.Header("Content-Length"));
    } catch (...) {
      want = 0;
    }
    while (req.body.size() < want && req.body.size() < (16u << 20)) {
      ssize_t n = ::recv(fd, buf, sizeof buf, 0);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      req.body.append(buf, static_cast<size_t>(n));
    }
    HttpConnection conn(*this, fd);
    try {
      handler_(req, conn);
    } catch (const std::exception& e) {
      conn.SendResponse(500, "Internal Server Error", {{"Content-Type", "text/plain"}}, e.what());
    }
  } else if (!data.empty()) {
    HttpConnection(*this, fd).SendResponse(400, "Bad Request", {}, "");
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    openFds_.erase(fd);
  }
  ::shutdown(fd, SHUT_WR);
  ::close(fd);
}

int UnusedPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(fd);
  return ntohs(addr.sin_port);
}

}  // namespace quintar::testserver
