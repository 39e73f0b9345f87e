#include "httpserver.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <stdexcept>

namespace quintar::catalogue {

namespace {

constexpr uint64_t kListenId = 0;
constexpr uint64_t kWakeId = 1;
constexpr size_t kReadChunk = 65536;
constexpr size_t kChunkLineLimit = 1024;
constexpr int kDrainMs = 2000;
// The most one connection sends in a turn: a large answer goes out in slices, between which the loop serves
// every other connection.
constexpr size_t kWriteSlice = 256 * 1024;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string LowerTrim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  std::string out(s.substr(b, e - b));
  for (char& c : out) c = Lower(c);
  return out;
}

bool IsTokenChar(char c) {
  if (c >= 'a' && c <= 'z') return true;
  if (c >= 'A' && c <= 'Z') return true;
  if (c >= '0' && c <= '9') return true;
  return std::strchr("!#$%&'*+-.^_`|~", c) != nullptr && c != '\0';
}

const char* Reason(int status) {
  switch (status) {
    case 100:
      return "Continue";
    case 200:
      return "OK";
    case 400:
      return "Bad Request";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 408:
      return "Request Timeout";
    case 411:
      return "Length Required";
    case 413:
      return "Payload Too Large";
    case 415:
      return "Unsupported Media Type";
    case 417:
      return "Expectation Failed";
    case 431:
      return "Request Header Fields Too Large";
    case 500:
      return "Internal Server Error";
    case 501:
      return "Not Implemented";
    case 503:
      return "Service Unavailable";
    case 505:
      return "HTTP Version Not Supported";
    default:
      return "Unknown";
  }
}

std::string PeerText(const sockaddr_storage& ss) {
  char host[INET6_ADDRSTRLEN] = "?";
  int port = 0;
  if (ss.ss_family == AF_INET) {
    auto* a = reinterpret_cast<const sockaddr_in*>(&ss);
    inet_ntop(AF_INET, &a->sin_addr, host, sizeof host);
    port = ntohs(a->sin_port);
    return std::string(host) + ":" + std::to_string(port);
  }
  if (ss.ss_family == AF_INET6) {
    auto* a = reinterpret_cast<const sockaddr_in6*>(&ss);
    inet_ntop(AF_INET6, &a->sin6_addr, host, sizeof host);
    port = ntohs(a->sin6_port);
    return "[" + std::string(host) + "]:" + std::to_string(port);
  }
  return "?";
}

// What a log line may show of a path sent by anyone: printable ASCII, at most 200 characters.
std::string LogSafe(std::string_view s) {
  std::string out;
  for (char ch : s.substr(0, 200)) {
    unsigned char c = static_cast<unsigned char>(ch);
    out += c > 32 && c < 127 ? ch : '?';
  }
  return out.empty() ? "-" : out;
}

std::string CollapseSlashes(std::string_view p) {
  std::string out;
  out.reserve(p.size());
  for (char c : p) {
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out += c;
  }
  return out;
}

}  // namespace

bool IsLoopbackAddress(const sockaddr* addr) {
  if (addr->sa_family == AF_INET) {
    auto* a = reinterpret_cast<const sockaddr_in*>(addr);
    return (ntohl(a->sin_addr.s_addr) >> 24) == 127;
  }
  if (addr->sa_family == AF_INET6) {
    auto* a = reinterpret_cast<const sockaddr_in6*>(addr);
    if (IN6_IS_ADDR_LOOPBACK(&a->sin6_addr)) return true;
    if (IN6_IS_ADDR_V4MAPPED(&a->sin6_addr)) return a->sin6_addr.s6_addr[12] == 127;
  }
  return false;
}

std::string HttpRequest::Header(std::string_view name) const {
  for (const auto& [n, v] : Headers)
    if (SameText(n, name)) return v;
  return "";
}

bool HttpRequest::HasHeader(std::string_view name) const {
  for (const auto& h : Headers)
    if (SameText(h.first, name)) return true;
  return false;
}

void RequestLog::Write(const std::string& peer, std::string_view path, int status, double ms, size_t size) {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char when[32];
  std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &tm);
  std::string p = LogSafe(path);
  std::lock_guard<std::mutex> lock(mutex_);
  std::fprintf(out_, "%s %s %s %d %.1fms %zu\n", when, peer.c_str(), p.c_str(), status, ms, size);
  std::fflush(out_);
}

void RequestLog::Note(const std::string& text) {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char when[32];
  std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &tm);
  std::lock_guard<std::mutex> lock(mutex_);
  std::fprintf(out_, "%s %s\n", when, text.c_str());
  std::fflush(out_);
}

// One client connection and the request it is sending or being answered for.
struct HttpServer::Conn {
  enum State { Head, Body, Chunked, Busy, Write, Drain };
  enum ChunkPhase { Size, Data, DataEnd, Trailer };

  int fd = -1;
  uint64_t id = 0;
  std::string peer;
  std::string logPath = "-";  // the path of the request being answered, for the log
  State st = Head;
  std::string in;
  HttpRequest req;
  size_t need = 0;      // body bytes still expected (Body), or of the current chunk (Chunked)
  size_t reserved = 0;  // this request's share of the server's buffered bytes
  ChunkPhase phase = Size;
  bool keepAlive = true;
  bool head = false;  // a HEAD request: the answer's headers only
  bool eof = false;
  bool closeAfter = false;
  std::string outHead, outBody;
  size_t outPos = 0;
  int status = 0;
  uint32_t events = 0;
  Clock::time_point deadline;
  Clock::time_point started;
};

HttpServer::HttpServer(HttpHandler handler, HttpLimits limits, RequestLog* log)
    : handler_(std::move(handler)), limits_(limits), log_(log) {
  epollFd_ = epoll_create1(EPOLL_CLOEXEC);
  wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (epollFd_ < 0 || wakeFd_ < 0) throw std::runtime_error(std::string("epoll: ") + std::strerror(errno));
  epoll_event ev{};
  ev.events = EPOLLIN;
  ev.data.u64 = kWakeId;
  epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &ev);
}

HttpServer::~HttpServer() {
  for (auto& [id, c] : conns_) ::close(c->fd);
  if (listenFd_ >= 0) ::close(listenFd_);
  if (wakeFd_ >= 0) ::close(wakeFd_);
  if (epollFd_ >= 0) ::close(epollFd_);
}

int HttpServer::Listen(const std::string& hostIn, int port, bool allowRemote) {
  std::string host = hostIn;
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* res = nullptr;
  std::string service = std::to_string(port);
  int rc = getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &res);
  if (rc != 0) throw std::runtime_error("cannot resolve " + hostIn + ": " + gai_strerror(rc));
  std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> guard(res, freeaddrinfo);
  if (!allowRemote) {
    for (addrinfo* a = res; a; a = a->ai_next)
      if (!IsLoopbackAddress(a->ai_addr))
        throw std::runtime_error(hostIn +
                                 " is not a loopback address; give --allow-remote to listen on it "
                                 "(and put the service behind a TLS reverse proxy)");
  }
  std::string lastError = "no address";
  for (addrinfo* a = res; a; a = a->ai_next) {
    int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) {
      lastError = std::strerror(errno);
      continue;
    }
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, 512) != 0) {
      lastError = std::strerror(errno);
      ::close(fd);
      continue;
    }
    sockaddr_storage ss{};
    socklen_t len = sizeof ss;
    getsockname(fd, reinterpret_cast<sockaddr*>(&ss), &len);
    int bound = ss.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&ss)->sin6_port)
                                         : ntohs(reinterpret_cast<sockaddr_in*>(&ss)->sin_port);
    listenFd_ = fd;
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = kListenId;
    epoll_ctl(epollFd_, EPOLL_CTL_ADD, listenFd_, &ev);
    return bound;
  }
  throw std::runtime_error("cannot listen on " + hostIn + ":" + service + ": " + lastError);
}

void HttpServer::Wake() {
  uint64_t one = 1;
  [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

void HttpServer::Stop() {
  stopRequested_ = true;
  Wake();
}

void HttpServer::Run() {
  lastScan_ = Clock::now();
  epoll_event events[64];
  for (;;) {
    if (stopRequested_ && !stopping_) BeginStop();
    if (stopping_ && (conns_.empty() || Clock::now() >= stopDeadline_)) break;
    int n = epoll_wait(epollFd_, events, 64, 100);
    if (n < 0 && errno != EINTR) break;
    for (int i = 0; i < n; ++i) {
      uint64_t id = events[i].data.u64;
      uint32_t ev = events[i].events;
      if (id == kListenId) {
        AcceptAll();
        continue;
      }
      if (id == kWakeId) {
        uint64_t v;
        while (::read(wakeFd_, &v, sizeof v) > 0) {
        }
        TakeReplies();
        continue;
      }
      auto it = conns_.find(id);
      if (it == conns_.end()) continue;
      Conn& c = *it->second;
      if ((ev & (EPOLLERR | EPOLLHUP)) && !(ev & (EPOLLIN | EPOLLOUT))) {
        CloseConn(c);
        continue;
      }
      if (ev & EPOLLOUT) {
        OnWritable(c);
        continue;  // the connection may be gone or reading again
      }
      if (ev & (EPOLLIN | EPOLLHUP | EPOLLERR)) OnReadable(c);
    }
    TakeReplies();
    if (Clock::now() - lastScan_ >= std::chrono::milliseconds(100)) CheckTimers();
  }
  std::vector<Conn*> all;
  for (auto& [id, c] : conns_) all.push_back(c.get());
  for (Conn* c : all) CloseConn(*c);
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    listenFd_ = -1;
  }
}

void HttpServer::BeginStop() {
  stopping_ = true;
  stopDeadline_ = Clock::now() + std::chrono::milliseconds(limits_.StopGraceMs);
  if (listenFd_ >= 0) {
    epoll_ctl(epollFd_, EPOLL_CTL_DEL, listenFd_, nullptr);
    ::close(listenFd_);
    listenFd_ = -1;
  }
  std::vector<Conn*> idle;
  for (auto& [id, c] : conns_) {
    c->keepAlive = false;
    if (c->st == Conn::Head && c->in.empty()) idle.push_back(c.get());
  }
  for (Conn* c : idle) CloseConn(*c);
}

void HttpServer::AcceptAll() {
  for (;;) {
    sockaddr_storage ss{};
    socklen_t len = sizeof ss;
    int fd = ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&ss), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EMFILE || errno == ENFILE || errno == ENOMEM || errno == ENOBUFS) {
        // No descriptor left: the waiting connections stay queued until the next timer round.
        epoll_event ev{};
        ev.data.u64 = kListenId;
        epoll_ctl(epollFd_, EPOLL_CTL_MOD, listenFd_, &ev);
        acceptPaused_ = true;
      }
      return;  // EAGAIN, or a connection that went away meanwhile
    }
    if (conns_.size() >= limits_.MaxConnections) {
      static const char busy[] = "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
      [[maybe_unused]] ssize_t n = ::send(fd, busy, sizeof busy - 1, MSG_DONTWAIT | MSG_NOSIGNAL);
      ::close(fd);
      if (log_) log_->Write(PeerText(ss), "-", 503, 0, 0);
      continue;
    }
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    auto c = std::make_unique<Conn>();
    c->fd = fd;
    c->id = ++nextId_;
    c->peer = PeerText(ss);
    c->deadline = Clock::now() + std::chrono::milliseconds(limits_.RequestTimeoutMs);
    Conn& ref = *c;
    conns_.emplace(c->id, std::move(c));
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = ref.id;
    epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &ev);
    ref.events = EPOLLIN;
  }
}

void HttpServer::WatchFor(Conn& c, uint32_t events) {
  if (c.events == events) return;
  epoll_event ev{};
  ev.events = events;
  ev.data.u64 = c.id;
  epoll_ctl(epollFd_, EPOLL_CTL_MOD, c.fd, &ev);
  c.events = events;
}

void HttpServer::CloseConn(Conn& c) {
  buffered_ -= c.reserved;
  epoll_ctl(epollFd_, EPOLL_CTL_DEL, c.fd, nullptr);
  ::close(c.fd);
  conns_.erase(c.id);  // c is gone from here on
}

void HttpServer::OnReadable(Conn& c) {
  char buf[kReadChunk];
  if (c.st == Conn::Drain) {
    for (;;) {
      ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
      if (n > 0) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
      CloseConn(c);
      return;
    }
  }
  if (c.st != Conn::Head && c.st != Conn::Body && c.st != Conn::Chunked) {
    WatchFor(c, 0);
    return;
  }
  ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
  if (n > 0) {
    c.in.append(buf, static_cast<size_t>(n));
  } else if (n == 0) {
    c.eof = true;
  } else if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
    return;
  } else {
    CloseConn(c);
    return;
  }
  uint64_t id = c.id;
  Advance(c);
  auto it = conns_.find(id);
  if (it == conns_.end()) return;
  Conn& after = *it->second;
  if (after.eof && (after.st == Conn::Head || after.st == Conn::Body || after.st == Conn::Chunked)) CloseConn(after);
}

void HttpServer::Advance(Conn& c) {
  if (c.st == Conn::Head) {
    // Blank lines before a request line are passed over.
    size_t skip = 0;
    while (skip < c.in.size() && (c.in[skip] == '\r' || c.in[skip] == '\n')) ++skip;
    if (skip) c.in.erase(0, skip);
    size_t end = c.in.find("\r\n\r\n");
    if (end == std::string::npos) {
      if (c.in.size() > limits_.MaxHead) SendError(c, 431, "request line and headers too large");
      return;
    }
    if (end + 4 > limits_.MaxHead) {
      SendError(c, 431, "request line and headers too large");
      return;
    }
    c.started = Clock::now();
    if (!ParseHead(c, end + 4)) return;
  }
  if (c.st == Conn::Body) {
    if (c.in.size() < c.need) return;
    c.req.Body = c.in.substr(0, c.need);
    c.in.erase(0, c.need);
    Dispatch(c);
    return;
  }
  if (c.st == Conn::Chunked) {
    if (ParseChunks(c)) Dispatch(c);
  }
}

bool HttpServer::ParseHead(Conn& c, size_t headLen) {
  std::string head = c.in.substr(0, headLen - 2);  // each line ends with CR LF
  c.in.erase(0, headLen);
  c.req = HttpRequest();
  c.req.Peer = c.peer;
  c.head = false;
  size_t pos = head.find("\r\n");
  std::string_view line(head.data(), pos);
  size_t sp1 = line.find(' ');
  size_t sp2 = sp1 == std::string_view::npos ? sp1 : line.find(' ', sp1 + 1);
  if (sp1 == 0 || sp2 == std::string_view::npos || line.find(' ', sp2 + 1) != std::string_view::npos) {
    SendError(c, 400, "malformed request line");
    return false;
  }
  std::string_view method = line.substr(0, sp1), target = line.substr(sp1 + 1, sp2 - sp1 - 1),
                   version = line.substr(sp2 + 1);
  for (char ch : method)
    if (!IsTokenChar(ch)) {
      SendError(c, 400, "malformed request line");
      return false;
    }
  for (char ch : target)
    if (static_cast<unsigned char>(ch) <= 32 || ch == 127) {
      SendError(c, 400, "malformed request line");
      return false;
    }
  if (target.empty()) {
    SendError(c, 400, "malformed request line");
    return false;
  }
  if (version != "HTTP/1.1" && version != "HTTP/1.0") {
    if (version.substr(0, 5) == "HTTP/")
      SendError(c, 505, "HTTP version not supported");
    else
      SendError(c, 400, "malformed request line");
    return false;
  }
  c.req.Method = std::string(method);
  c.req.Target = std::string(target);
  c.head = method == "HEAD";
  std::string_view path = target;
  if (path.substr(0, 7) == "http://" || path.substr(0, 8) == "https://") {
    size_t slash = path.find('/', path.find("//") + 2);
    path = slash == std::string_view::npos ? std::string_view("/") : path.substr(slash);
  }
  path = path.substr(0, path.find_first_of("?#"));
  c.req.Path = CollapseSlashes(path);
  c.logPath = c.req.Path;

  while (pos + 2 < head.size()) {
    size_t next = head.find("\r\n", pos + 2);
    std::string_view h(head.data() + pos + 2, next - pos - 2);
    pos = next;
    size_t colon = h.find(':');
    if (h.empty() || h[0] == ' ' || h[0] == '\t' || colon == std::string_view::npos || colon == 0) {
      SendError(c, 400, "malformed header");
      return false;
    }
    for (size_t i = 0; i < colon; ++i)
      if (!IsTokenChar(h[i])) {
        SendError(c, 400, "malformed header");
        return false;
      }
    std::string_view v = h.substr(colon + 1);
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
    while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.remove_suffix(1);
    c.req.Headers.emplace_back(std::string(h.substr(0, colon)), std::string(v));
  }

  std::string connection = LowerTrim(c.req.Header("Connection"));
  c.keepAlive = version == "HTTP/1.1" && connection.find("close") == std::string::npos && !stopping_;

  bool chunked = false, hasLength = false;
  uint64_t length = 0;
  for (const auto& [n, v] : c.req.Headers) {
    if (SameText(n, "Transfer-Encoding")) {
      if (LowerTrim(v) != "chunked" || chunked) {
        SendError(c, 501, "transfer encoding not supported");
        return false;
      }
      chunked = true;
    } else if (SameText(n, "Content-Length")) {
      if (v.empty() || v.size() > 18 || v.find_first_not_of("0123456789") != std::string::npos) {
        SendError(c, 400, "malformed Content-Length");
        return false;
      }
      uint64_t l = std::stoull(v);
      if (hasLength && l != length) {
        SendError(c, 400, "conflicting Content-Length");
        return false;
      }
      hasLength = true;
      length = l;
    }
  }
  if (chunked && hasLength) {
    SendError(c, 400, "both Content-Length and Transfer-Encoding");
    return false;
  }
  if (!chunked && !hasLength && c.req.Method == "POST") {
    SendError(c, 411, "Content-Length required");
    return false;
  }
  if (hasLength && length > limits_.MaxBody) {
    SendError(c, 413, "request body too large");
    return false;
  }
  std::string expect = LowerTrim(c.req.Header("Expect"));
  if (!expect.empty() && expect != "100-continue") {
    SendError(c, 417, "expectation not supported");
    return false;
  }
  bool bodyComing = chunked || length > 0;
  if (bodyComing && !expect.empty() && c.in.empty()) {
    static const char cont[] = "HTTP/1.1 100 Continue\r\n\r\n";
    [[maybe_unused]] ssize_t n = ::send(c.fd, cont, sizeof cont - 1, MSG_DONTWAIT | MSG_NOSIGNAL);
  }
  if (chunked) {
    c.st = Conn::Chunked;
    c.phase = Conn::Size;
  } else {
    if (buffered_ + length > std::max(limits_.MaxBuffered, limits_.MaxBody)) {
      SendError(c, 503, "too many large requests at once, try again");
      return false;
    }
    c.reserved = static_cast<size_t>(length);
    buffered_ += c.reserved;
    c.st = Conn::Body;
    c.need = static_cast<size_t>(length);
  }
  return true;
}

// Takes what has come of a chunked body; true once the whole body (and its trailer) is there.
bool HttpServer::ParseChunks(Conn& c) {
  size_t pos = 0;
  bool done = false;
  while (!done) {
    if (c.phase == Conn::Size || c.phase == Conn::Trailer || c.phase == Conn::DataEnd) {
      size_t eol = c.in.find("\r\n", pos);
      if (eol == std::string::npos) {
        if (c.in.size() - pos > kChunkLineLimit) {
          SendError(c, 400, "malformed chunked body");
          return false;
        }
        break;
      }
      std::string_view line(c.in.data() + pos, eol - pos);
      pos = eol + 2;
      if (c.phase == Conn::DataEnd) {
        if (!line.empty()) {
          SendError(c, 400, "malformed chunked body");
          return false;
        }
        c.phase = Conn::Size;
        continue;
      }
      if (c.phase == Conn::Trailer) {
        if (line.empty()) done = true;
        continue;
      }
      std::string_view hex = line.substr(0, line.find(';'));
      while (!hex.empty() && (hex.back() == ' ' || hex.back() == '\t')) hex.remove_suffix(1);
      if (hex.empty() || hex.size() > 15 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos) {
        SendError(c, 400, "malformed chunked body");
        return false;
      }
      size_t size = std::stoull(std::string(hex), nullptr, 16);
      if (size > limits_.MaxBody || c.req.Body.size() + size > limits_.MaxBody) {
        SendError(c, 413, "request body too large");
        return false;
      }
      if (size == 0) {
        c.phase = Conn::Trailer;
      } else {
        c.need = size;
        c.phase = Conn::Data;
      }
    } else {
      size_t take = std::min(c.need, c.in.size() - pos);
      c.req.Body.append(c.in, pos, take);
      pos += take;
      c.need -= take;
      if (c.need > 0) break;
      c.phase = Conn::DataEnd;
    }
  }
  c.in.erase(0, pos);
  return done;
}

void HttpServer::Dispatch(Conn& c) {
  c.st = Conn::Busy;
  WatchFor(c, 0);
  uint64_t id = c.id;
  HttpReply reply = [this, id](HttpResponse r) {
    {
      std::lock_guard<std::mutex> lock(replyMutex_);
      replies_.emplace_back(id, std::move(r));
    }
    Wake();
  };
  try {
    handler_(std::move(c.req), std::move(reply));
  } catch (const std::exception&) {
    HttpResponse r;
    r.Status = 500;
    r.ContentType = "text/plain; charset=utf-8";
    r.Body = "internal error\n";
    auto it = conns_.find(id);
    if (it != conns_.end()) StartWrite(*it->second, std::move(r), true);
  }
}

void HttpServer::TakeReplies() {
  std::vector<std::pair<uint64_t, HttpResponse>> ready;
  {
    std::lock_guard<std::mutex> lock(replyMutex_);
    ready.swap(replies_);
  }
  for (auto& [id, r] : ready) {
    auto it = conns_.find(id);
    if (it == conns_.end() || it->second->st != Conn::Busy) continue;
    StartWrite(*it->second, std::move(r), !it->second->keepAlive);
  }
}

void HttpServer::SendError(Conn& c, int status, std::string_view text) {
  HttpResponse r;
  r.Status = status;
  r.ContentType = "text/plain; charset=utf-8";
  r.Body = std::string(text) + "\n";
  if (c.started == Clock::time_point()) c.started = Clock::now();
  c.keepAlive = false;
  StartWrite(c, std::move(r), true);
}

void HttpServer::StartWrite(Conn& c, HttpResponse&& r, bool close) {
  c.closeAfter = close || !c.keepAlive || stopping_;
  c.status = r.Status;
  std::string head = "HTTP/1.1 " + std::to_string(r.Status) + " " + Reason(r.Status) + "\r\n";
  head += "Content-Type: " + r.ContentType + "\r\n";
  head += "Content-Length: " + std::to_string(r.Body.size()) + "\r\n";
  for (const auto& [n, v] : r.Headers) head += n + ": " + v + "\r\n";
  head += c.closeAfter ? "Connection: close\r\n\r\n" : "Connection: keep-alive\r\n\r\n";
  c.outHead = std::move(head);
  c.outBody = std::move(r.Body);
  if (c.head) c.outBody.clear();
  c.outPos = 0;
  c.st = Conn::Write;
  c.deadline = Clock::now() + std::chrono::milliseconds(limits_.RequestTimeoutMs);
  OnWritable(c);
}

void HttpServer::OnWritable(Conn& c) {
  if (c.st != Conn::Write) {
    WatchFor(c, c.st == Conn::Busy ? 0u : static_cast<uint32_t>(EPOLLIN));
    return;
  }
  const size_t total = c.outHead.size() + c.outBody.size();
  size_t turn = 0;
  while (c.outPos < total) {
    if (turn >= kWriteSlice) {
      WatchFor(c, EPOLLOUT);  // the rest in the next turns
      return;
    }
    size_t room = kWriteSlice - turn;
    iovec iov[2];
    int cnt = 0;
    if (c.outPos < c.outHead.size()) {
      iov[cnt].iov_base = c.outHead.data() + c.outPos;
      iov[cnt].iov_len = std::min(room, c.outHead.size() - c.outPos);
      room -= iov[cnt].iov_len;
      ++cnt;
    }
    size_t at = c.outPos < c.outHead.size() ? 0 : c.outPos - c.outHead.size();
    if (room > 0 && at < c.outBody.size()) {
      iov[cnt].iov_base = c.outBody.data() + at;
      iov[cnt].iov_len = std::min(room, c.outBody.size() - at);
      ++cnt;
    }
    msghdr msg{};
    msg.msg_iov = iov;
    msg.msg_iovlen = static_cast<size_t>(cnt);
    ssize_t n = ::sendmsg(c.fd, &msg, MSG_NOSIGNAL);
    if (n > 0) {
      c.outPos += static_cast<size_t>(n);
      turn += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      WatchFor(c, EPOLLOUT);
      return;
    }
    if (n < 0 && errno == EINTR) continue;
    CloseConn(c);
    return;
  }
  FinishWrite(c);
}

void HttpServer::FinishWrite(Conn& c) {
  if (log_) {
    double ms = std::chrono::duration<double, std::milli>(Clock::now() - c.started).count();
    log_->Write(c.peer, c.logPath, c.status, ms, c.outBody.size());
  }
  buffered_ -= c.reserved;
  c.reserved = 0;
  c.outHead.clear();
  c.outHead.shrink_to_fit();
  c.outBody.clear();
  c.outBody.shrink_to_fit();
  if (c.closeAfter || c.eof) {
    // The peer may still be sending what we did not read (a body refused from its headers): it is read and
    // dropped for a moment, so that closing does not reset the connection before the answer is read.
    ::shutdown(c.fd, SHUT_WR);
    c.st = Conn::Drain;
    c.in.clear();
    c.deadline = Clock::now() + std::chrono::milliseconds(std::min(kDrainMs, limits_.RequestTimeoutMs));
    WatchFor(c, EPOLLIN);
    return;
  }
  c.st = Conn::Head;
  c.req = HttpRequest();
  c.logPath = "-";
  c.started = Clock::time_point();
  c.deadline = Clock::now() + std::chrono::milliseconds(limits_.RequestTimeoutMs);
  WatchFor(c, EPOLLIN);
  if (!c.in.empty()) Advance(c);
}

void HttpServer::CheckTimers() {
  auto now = Clock::now();
  lastScan_ = now;
  if (acceptPaused_ && listenFd_ >= 0) {
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = kListenId;
    epoll_ctl(epollFd_, EPOLL_CTL_MOD, listenFd_, &ev);
    acceptPaused_ = false;
  }
  std::vector<uint64_t> expired;
  for (auto& [id, c] : conns_)
    if (c->st != Conn::Busy && now >= c->deadline) expired.push_back(id);
  for (uint64_t id : expired) {
    auto it = conns_.find(id);
    if (it == conns_.end()) continue;
    Conn& c = *it->second;
    if ((c.st == Conn::Head && c.in.empty()) || c.st == Conn::Write || c.st == Conn::Drain) {
      CloseConn(c);  // idle between requests, an answer not taken in time, or a refused body drained
    } else {
      SendError(c, 408, "request not complete in time");
    }
  }
}

}  // namespace quintar::catalogue
