// A front put by the tests between the program and the real catalogue service (as a reverse proxy would
// stand in front of it): plain HTTP or TLS with a self-signed certificate, noting every request it passes
// on, and damaging the answers of the requests it is told to.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quintar::test {

class CatalogueRelay {
 public:
  enum class Fault {
    None,
    NoResultEnd,     // "</result>" cut out of a long answer
    Http500,         // an HTTP error status
    Slow,            // the answer comes after SlowMs
    Huge,            // an answer of HugeBytes
    EmptyResult,     // "<result>" and "</result>" with nothing between
    Refusal,         // a row with an "<error>"
    BadNumber,       // the first "<id>" (or a result code) holds no number
    Truncated,       // the last row loses its end
    RedirectToHttp,  // a redirect to the same path on the plain service
    Rewrite,         // the answer with From replaced by To
  };
  struct Request {
    std::string path, body;
    std::map<std::string, std::string> headers;  // names in lower case
  };

  // tls: the front speaks TLS with the certificate of certDir (cert.pem, key.pem).
  CatalogueRelay(int servicePort, bool tls = false, const std::string& certDir = "");
  ~CatalogueRelay();
  bool Started() const { return port_ > 0; }
  std::string Url() const;  // the base address for CatalogueUrl
  // The fault for requests whose path holds request ("" for all).
  void SetFault(Fault f, const std::string& request = "", std::string from = "", std::string to = "");
  std::vector<Request> Requests() const;
  void ClearRequests();
  int SlowMs = 1500;
  size_t HugeBytes = 200000;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  int port_ = 0;
  bool tls_ = false;
};

// Makes cert.pem and key.pem in dir: a self-signed certificate for 127.0.0.1 and localhost. False when the
// openssl tool is missing.
bool MakeSelfSignedCertificate(const std::string& dir);

}  // namespace quintar::test
