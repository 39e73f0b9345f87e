#include "catalogue_relay.h"

#include <httplib.h>

#include <chrono>
#include <cstdlib>

namespace quintar::test {

struct CatalogueRelay::Impl {
  std::unique_ptr<httplib::Server> server;
  std::thread thread;
  int servicePort = 0;
  mutable std::mutex mutex;
  std::vector<Request> requests;
  Fault fault = Fault::None;
  std::string faultRequest, from, to;
};

CatalogueRelay::CatalogueRelay(int servicePort, bool tls, const std::string& certDir)
    : impl_(std::make_unique<Impl>()), tls_(tls) {
  impl_->servicePort = servicePort;
  if (tls)
    impl_->server = std::make_unique<httplib::SSLServer>((certDir + "cert.pem").c_str(), (certDir + "key.pem").c_str());
  else
    impl_->server = std::make_unique<httplib::Server>();
  if (!impl_->server->is_valid()) return;
  Impl* impl = impl_.get();
  const int* slowMs = &SlowMs;
  const size_t* hugeBytes = &HugeBytes;
  impl_->server->Post(R"(/.*)", [impl, slowMs, hugeBytes](const httplib::Request& req, httplib::Response& res) {
    Request seen{req.path, req.body, {}};
    for (const auto& [name, value] : req.headers) {
      std::string n = name;
      for (char& c : n) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      seen.headers[n] = value;
    }
    Fault fault;
    std::string from, to;
    {
      std::lock_guard<std::mutex> lock(impl->mutex);
      impl->requests.push_back(seen);
      fault = impl->faultRequest.empty() || req.path.find(impl->faultRequest) != std::string::npos ? impl->fault
                                                                                                     : Fault::None;
      from = impl->from;
      to = impl->to;
    }
    if (fault == Fault::RedirectToHttp) {
      res.status = 307;
      res.set_header("Location", "http://127.0.0.1:" + std::to_string(impl->servicePort) + req.path);
      return;
    }
    httplib::Client service("127.0.0.1", impl->servicePort);
    service.set_read_timeout(20, 0);
    auto answer = service.Post(req.path.c_str(), req.body, "application/x-www-form-urlencoded");
    if (!answer) {
      res.status = 502;
      return;
    }
    std::string body = answer->body;
    res.status = answer->status;
    auto replace = [&body](const std::string& a, const std::string& b) {
      if (size_t p = body.find(a); p != std::string::npos) body.replace(p, a.size(), b);
    };
    switch (fault) {
      case Fault::NoResultEnd:
        replace("</result>", std::string(5000, 'x'));
        break;
      case Fault::Http500:
        res.status = 500;
        break;
      case Fault::Slow:
        std::this_thread::sleep_for(std::chrono::milliseconds(*slowMs));
        break;
      case Fault::Huge:
        replace("<result>", "<result>" + std::string(*hugeBytes, ' '));
        break;
      case Fault::EmptyResult:
        body = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<response>\n<result>\n</result>\n</response>\n";
        break;
      case Fault::Refusal:
        body = "<response><result><row><error>Каталог закрыт на обслуживание</error></row></result></response>";
        break;
      case Fault::BadNumber:
        for (const char* tag : {"<id>", "<res_code>", "<id_scripts>", "<id_systems>"})
          if (size_t p = body.find(tag); p != std::string::npos) {
            body.insert(p + std::string(tag).size(), "x");
            break;
          }
        break;
      case Fault::Truncated:
        if (size_t p = body.rfind("</row>"); p != std::string::npos) body.erase(p, 6);
        break;
      case Fault::Rewrite:
        replace(from, to);
        break;
      default:
        break;
    }
    res.set_content(body, "text/xml; charset=utf-8");
  });
  port_ = impl_->server->bind_to_any_port("127.0.0.1");
  if (port_ <= 0) {
    port_ = 0;
    return;
  }
  impl_->thread = std::thread([impl] { impl->server->listen_after_bind(); });
}

CatalogueRelay::~CatalogueRelay() {
  if (impl_->server) impl_->server->stop();
  if (impl_->thread.joinable()) impl_->thread.join();
}

std::string CatalogueRelay::Url() const {
  return std::string(tls_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_);
}

void CatalogueRelay::SetFault(Fault f, const std::string& request, std::string from, std::string to) {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->fault = f;
  impl_->faultRequest = request;
  impl_->from = std::move(from);
  impl_->to = std::move(to);
}

std::vector<CatalogueRelay::Request> CatalogueRelay::Requests() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->requests;
}

void CatalogueRelay::ClearRequests() {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->requests.clear();
}

bool MakeSelfSignedCertificate(const std::string& dir) {
  const std::string cmd = "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 "
                          "-addext subjectAltName=IP:127.0.0.1,DNS:localhost -keyout '" +
                          dir + "key.pem' -out '" + dir + "cert.pem' >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}

}  // namespace quintar::test
