#include "online/webrequest.h"

#include <curl/curl.h>

#include <chrono>
#include <exception>
#include <memory>
#include <mutex>

#include "util/format.h"
#include "util/safefile.h"
#include "util/strutil.h"

namespace quintar {

namespace {

using Clock = std::chrono::steady_clock;

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
  void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
struct MultiDeleter {
  void operator()(CURLM* h) const { curl_multi_cleanup(h); }
};
struct SlistDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// One request in flight: where the body goes and what the callbacks saw.
struct Transfer {
  std::function<void(const char*, size_t)> sink;
  std::exception_ptr sinkError;  // a failure of the sink, raised after the transfer stopped
  std::string statusLine;        // the last "HTTP/..." line of the answer's head
  bool dropRedirectBody = false; // the body of a redirect answer is not the answer's
  Clock::time_point lastActivity = Clock::now();
  curl_off_t seenDown = 0, seenUp = 0;
};

// The status code of a status line ("HTTP/1.1 302 Found" gives 302), 0 when there is none.
int StatusOf(const std::string& line) {
  size_t sp = line.find(' ');
  if (sp == std::string::npos) return 0;
  int code = 0;
  for (size_t i = sp + 1; i < line.size() && i < sp + 4 && line[i] >= '0' && line[i] <= '9'; ++i)
    code = code * 10 + (line[i] - '0');
  return code;
}

size_t WriteCallback(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  size_t n = size * count;
  t->lastActivity = Clock::now();
  if (t->dropRedirectBody) {
    int status = StatusOf(t->statusLine);
    if (status >= 300 && status < 400) return n;
  }
  try {
    t->sink(data, n);
  } catch (...) {
    t->sinkError = std::current_exception();
    return 0;  // stops the transfer
  }
  return n;
}

size_t HeaderCallback(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  size_t n = size * count;
  t->lastActivity = Clock::now();
  std::string_view line(data, n);
  if (line.size() > 5 && line.substr(0, 5) == "HTTP/") t->statusLine = Trim(line);
  return n;
}

int ProgressCallback(void* user, curl_off_t, curl_off_t dlnow, curl_off_t, curl_off_t ulnow) {
  auto* t = static_cast<Transfer*>(user);
  if (dlnow != t->seenDown || ulnow != t->seenUp) {
    t->seenDown = dlnow;
    t->seenUp = ulnow;
    t->lastActivity = Clock::now();
  }
  return 0;
}

// The certificates the client trusts by default (its CA bundle file), or "" when it names none.
std::string SystemTrustedCertificates(CURL* h) {
  const char* path = nullptr;
#if LIBCURL_VERSION_NUM >= 0x075400
  curl_easy_getinfo(h, CURLINFO_CAINFO, &path);
#else
  (void)h;
#endif
  std::string file = path && *path ? path : "/etc/ssl/certs/ca-certificates.crt";
  try {
    return ReadWholeFile(file);
  } catch (const std::exception&) {
    return "";
  }
}

std::string ProxyAddress(const TWebProxy& p) {
  std::string host = p.Server;
  // A bare IPv6 address needs brackets in an address.
  if (host.find(':') != std::string::npos && host.front() != '[') host = "[" + host + "]";
  return "http://" + host + ":" + std::to_string(p.Port);
}

// Runs one request to its end; the body goes to sink. Raises EWebError on any transport failure. With
// redirectTo, a redirect answer is not followed: its target goes there and the call returns.
void PerformOne(const std::string& url, const std::string* postBody, bool followRedirects, const TWebOptions& o,
                const std::function<void(const char*, size_t)>& sink, std::string* redirectTo) {
  GlobalInit();
  std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
  if (!easy || !multi) throw EWebError("Не удалось создать HTTP-клиент");
  CURL* h = easy.get();
  Transfer t;
  t.sink = sink;
  t.dropRedirectBody = redirectTo != nullptr;
  char errbuf[CURL_ERROR_SIZE] = {};

  std::unique_ptr<curl_slist, SlistDeleter> headers;
  auto addHeader = [&](const std::string& hdr) {
    curl_slist* l = curl_slist_append(headers.get(), hdr.c_str());
    if (!l) throw EWebError("Не удалось создать HTTP-запрос");
    (void)headers.release();
    headers.reset(l);
  };
  addHeader("Accept: " + o.Accept);
  addHeader("Expect:");

  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errbuf);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(h, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, kAcceptEncoding);
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, followRedirects ? 1L : 0L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, static_cast<long>(o.MaxRedirects));
  if (o.KeepHttps && StartsWithText(url, "https://")) curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "https");
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(o.ConnectTimeoutMs > 0 ? o.ConnectTimeoutMs : 0));
  if (o.TotalTimeoutMs > 0) curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(o.TotalTimeoutMs));
  curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, o.VerifyPeer ? 1L : 0L);
  curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, o.VerifyPeer ? 2L : 0L);
  std::string trusted;  // the system's trusted certificates followed by those of CaFile
  if (o.VerifyPeer && !o.CaFile.empty()) {
    trusted = SystemTrustedCertificates(h);
    try {
      trusted += "\n" + ReadWholeFile(o.CaFile);
    } catch (const std::exception& e) {
      throw EWebError(Format("Не удалось прочитать файл сертификатов \"%s\": %s", {o.CaFile, e.what()}));
    }
    curl_blob blob{trusted.data(), trusted.size(), CURL_BLOB_NOCOPY};
    curl_easy_setopt(h, CURLOPT_CAINFO_BLOB, &blob);
  }
  long tls = static_cast<long>(CURL_SSLVERSION_TLSv1_0);
  if (o.Tls == TTlsVersion::Tls12Only)
    tls = static_cast<long>(CURL_SSLVERSION_TLSv1_2) | static_cast<long>(CURL_SSLVERSION_MAX_TLSv1_2);
  else if (o.Tls == TTlsVersion::Tls12Up)
    tls = static_cast<long>(CURL_SSLVERSION_TLSv1_2);
  curl_easy_setopt(h, CURLOPT_SSLVERSION, tls);
  std::string proxyAddress;
  if (o.Proxy && !o.Proxy->Server.empty()) {
    proxyAddress = ProxyAddress(*o.Proxy);
    curl_easy_setopt(h, CURLOPT_PROXY, proxyAddress.c_str());
    curl_easy_setopt(h, CURLOPT_NOPROXY, "");
    if (!o.Proxy->Username.empty() || !o.Proxy->Password.empty()) {
      curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, o.Proxy->Username.c_str());
      curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, o.Proxy->Password.c_str());
    }
  } else {
    curl_easy_setopt(h, CURLOPT_PROXY, "");  // no proxy, also none from the environment
  }
  if (postBody) {
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, postBody->c_str());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(postBody->size()));
  }
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteCallback);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &t);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, HeaderCallback);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &t);
  curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, ProgressCallback);
  curl_easy_setopt(h, CURLOPT_XFERINFODATA, &t);
  curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);

  if (curl_multi_add_handle(multi.get(), h) != CURLM_OK) throw EWebError("Не удалось создать HTTP-клиент");
  struct Detach {
    CURLM* m;
    CURL* e;
    ~Detach() { curl_multi_remove_handle(m, e); }
  } detach{multi.get(), h};

  bool connected = false, timedOut = false;
  const auto readTimeout = std::chrono::milliseconds(o.ReadTimeoutMs);
  for (;;) {
    int running = 0;
    CURLMcode mc = curl_multi_perform(multi.get(), &running);
    if (mc != CURLM_OK) throw EWebError(curl_multi_strerror(mc));
    if (running == 0) break;
    mc = curl_multi_poll(multi.get(), nullptr, 0, 50, nullptr);
    if (mc != CURLM_OK) throw EWebError(curl_multi_strerror(mc));
    if (o.Idle) o.Idle();
    if (o.ReadTimeoutMs <= 0) continue;
    if (!connected) {
      curl_off_t connectTime = 0;
      if (curl_easy_getinfo(h, CURLINFO_CONNECT_TIME_T, &connectTime) == CURLE_OK && connectTime > 0) {
        connected = true;
        t.lastActivity = Clock::now();
      }
    } else if (Clock::now() - t.lastActivity > readTimeout) {
      timedOut = true;
      break;
    }
  }
  if (t.sinkError) std::rethrow_exception(t.sinkError);
  if (timedOut) throw EWebError(Format("Read timed out (%d ms).", {o.ReadTimeoutMs}));

  CURLcode result = CURLE_OK;
  int queued = 0;
  while (CURLMsg* msg = curl_multi_info_read(multi.get(), &queued))
    if (msg->msg == CURLMSG_DONE && msg->easy_handle == h) result = msg->data.result;
  if (result != CURLE_OK) throw EWebError(errbuf[0] ? Trim(errbuf) : std::string(curl_easy_strerror(result)));
  long status = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
  if (redirectTo && status >= 300 && status < 400) {
    char* location = nullptr;
    if (curl_easy_getinfo(h, CURLINFO_REDIRECT_URL, &location) == CURLE_OK && location && *location) {
      *redirectTo = location;
      return;
    }
  }
  if (status >= 300) {
    std::string text = t.statusLine.empty() ? Format("HTTP error %d", {static_cast<int>(status)}) : t.statusLine;
    throw EWebError(text, static_cast<int>(status));
  }
}

void Perform(const std::string& url, const std::string* postBody, bool followRedirects, const TWebOptions& o,
             const std::function<void(const char*, size_t)>& sink) {
  if (!followRedirects || !o.CheckRedirect) {
    PerformOne(url, postBody, followRedirects, o, sink, nullptr);
    return;
  }
  std::string current = url;
  for (int hop = 0;; ++hop) {
    std::string next;
    PerformOne(current, hop == 0 ? postBody : nullptr, false, o, sink, &next);
    if (next.empty()) return;
    if (hop >= 15) throw EWebError("Too many redirects.");
    o.CheckRedirect(next);
    current = next;
  }
}

std::string PerformText(const std::string& url, const std::string* postBody, bool followRedirects,
                        const TWebOptions& o) {
  std::string body;
  Perform(url, postBody, followRedirects, o, [&](const char* data, size_t n) {
    if (body.size() + n > o.MaxTextSize)
      throw EWebError(Format("The answer is larger than %d bytes.", {static_cast<long long>(o.MaxTextSize)}));
    body.append(data, n);
  });
  return body;
}

std::string Escape(const std::string& s) {
  GlobalInit();
  char* e = curl_easy_escape(nullptr, s.c_str(), static_cast<int>(s.size()));
  if (!e) throw EWebError("Не удалось создать HTTP-запрос");
  std::string out(e);
  curl_free(e);
  return out;
}

}  // namespace

std::string FormBody(const std::vector<std::string>& form) {
  std::string body;
  for (const std::string& item : form) {
    if (!body.empty()) body += '&';
    size_t eq = item.find('=');
    if (eq == std::string::npos) {
      body += item;
    } else {
      body += item.substr(0, eq + 1);
      body += Escape(item.substr(eq + 1));
    }
  }
  return body;
}

std::string WebPostForm(const std::string& url, const std::vector<std::string>& form, bool followRedirects,
                        const TWebOptions& options) {
  std::string body = FormBody(form);
  return PerformText(url, &body, followRedirects, options);
}

std::string WebPostBody(const std::string& url, const std::string& body, bool followRedirects,
                        const TWebOptions& options) {
  return PerformText(url, &body, followRedirects, options);
}

std::string WebGetText(const std::string& url, bool followRedirects, const TWebOptions& options) {
  return PerformText(url, nullptr, followRedirects, options);
}

void WebGetToFile(const std::string& url, const std::string& fileName, const TWebOptions& options) {
  AtomicFileWriter out(fileName);
  Perform(url, nullptr, true, options, [&](const char* data, size_t n) { out.Write(data, n); });
  out.Commit();
}

}  // namespace quintar
