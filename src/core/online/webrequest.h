// Web requests: a GET or a POST of a small form, one fresh client per request, the whole answer body
// returned as one text (bytes as sent, no character-set conversion). Every request carries the same header
// set; gzip and deflate bodies are decoded; "https://" addresses are fetched over TLS, with the server
// certificate verified only when the options ask for it. A transport failure (no connection, time-out, TLS
// failure, an HTTP error status) raises EWebError with the client's message.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "game/game.h"

namespace quintar {

inline constexpr const char* kAcceptDefault = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
inline constexpr const char* kAcceptPages =
    "text/html,application/xhtml+xml,application/xml;q=0.9,image/webp,*/*;q=0.8";
inline constexpr const char* kAcceptEncoding = "gzip, deflate, sdch";
inline constexpr const char* kUserAgent =
    "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/47.0.2526.80 "
    "Safari/537.36";

struct EWebError : EQuintar {
  explicit EWebError(const std::string& msg, int status = 0) : EQuintar(msg), HttpStatus(status) {}
  int HttpStatus;  // the answer's status when the failure is an HTTP error status, else 0
};

enum class TTlsVersion {
  Tls10,      // TLS 1.0 or any later version the server offers
  Tls12Only,  // TLS 1.2 and nothing else
  Tls12Up,    // TLS 1.2 or any later version
};

// An HTTP proxy: host name or address, port, optional user name and password.
struct TWebProxy {
  std::string Server;
  int Port = 80;
  std::string Username;
  std::string Password;
};

struct TWebOptions {
  std::string Accept = kAcceptDefault;
  TTlsVersion Tls = TTlsVersion::Tls10;
  // Verify the server certificate against the system's trusted certificates and those of CaFile (a PEM
  // file, "" for none), host name included.
  bool VerifyPeer = false;
  std::string CaFile;
  int ConnectTimeoutMs = 10000;
  // Longest wait for the next piece of the answer once connected; 0 waits without limit.
  int ReadTimeoutMs = 30000;
  // Longest time for the whole request; 0 waits without limit.
  int TotalTimeoutMs = 0;
  int MaxRedirects = 15;
  // A redirect never leads from an "https://" address to a plain "http://" one.
  bool KeepHttps = false;
  std::optional<TWebProxy> Proxy;  // none: a direct connection, whatever the environment says
  // Called about every 50 ms while the request waits, so that a window stays painted.
  std::function<void()> Idle;
  // Largest answer held in memory (texts only; files are written as they come).
  size_t MaxTextSize = 64u << 20;
  // When set, redirects are followed one at a time and every new address is handed here first; what it
  // raises ends the request before anything is asked of that address. A redirected request is a GET.
  std::function<void(const std::string& url)> CheckRedirect;
};

// Sends the form ("name=value" texts, in order) by POST as application/x-www-form-urlencoded, each value
// percent-encoded, and returns the answer.
std::string WebPostForm(const std::string& url, const std::vector<std::string>& form, bool followRedirects,
                        const TWebOptions& options = {});
// Sends a body that is already application/x-www-form-urlencoded.
std::string WebPostBody(const std::string& url, const std::string& body, bool followRedirects,
                        const TWebOptions& options = {});
std::string WebGetText(const std::string& url, bool followRedirects, const TWebOptions& options = {});
// GET with redirects followed; the body goes to the file, which is created or replaced only when the whole
// answer arrived.
void WebGetToFile(const std::string& url, const std::string& fileName, const TWebOptions& options = {});

// The application/x-www-form-urlencoded body of a form: values percent-encoded, items joined by "&".
std::string FormBody(const std::vector<std::string>& form);

}  // namespace quintar
