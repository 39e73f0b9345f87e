// The catalogue service: the nine requests of the scripts and systems catalogues on the database.
//
// Threads: the HTTP front hands each request to a small pool of workers, which decode and check the form.
// Lists, ratings and title checks are answered there (each worker has its own read connection; lists come
// from the list cache). Everything that writes, the get requests too (they count a download), goes to the
// one writer thread, which runs what is queued as one transaction with a savepoint per request, commits it
// (synchronous=FULL) and only then sends the answers: one disk flush serves many requests, and a request
// that is refused is rolled back alone.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "form.h"
#include "httpserver.h"
#include "listcache.h"
#include "sqlite.h"

namespace quintar::catalogue {

struct ServiceOptions {
  std::string DbPath;
  ListCache::AppNames AppNames;
  int Workers = 4;
};

// What a write request may see and note while it runs in the writer's transaction.
struct WriteContext {
  Db& db;
  CacheDelta& delta;
  int64_t now;
};
using WriteFn = std::function<std::string(WriteContext&)>;

class CatalogueService {
 public:
  // db: the connection OpenCatalogue gave (it becomes the writer's).
  CatalogueService(Db db, ServiceOptions options, RequestLog* log);
  ~CatalogueService();
  CatalogueService(const CatalogueService&) = delete;
  CatalogueService& operator=(const CatalogueService&) = delete;

  // The HTTP handler.
  void Handle(HttpRequest&& req, HttpReply reply);
  // Finishes the work queued, stops the threads and closes the database.
  void Shutdown();

  // A request decoded and checked: either its answer already, or the work for the writer.
  struct Prepared {
    std::string answer;
    WriteFn job;
  };
  struct Endpoint;

 private:
  class Writer;
  class Pool;

  static const Endpoint* FindEndpoint(const std::string& path);
  void EnsureCurrent(Db& reader);

  std::string ScrGetList(Db& reader, const Form& f);
  std::string ScrGetRates(Db& reader, const Form& f);
  std::string ScrChkTitle(Db& reader, const Form& f);
  std::string SysGetList(Db& reader, const Form& f);
  Prepared ScrGetData(const Form& f);
  Prepared ScrSetRate(const Form& f);
  Prepared ScrPutScript(const Form& f);
  Prepared SysGetData(const Form& f);
  Prepared SysPutData(const Form& f);

  ServiceOptions options_;
  RequestLog* log_;
  ListCache cache_;
  std::vector<std::unique_ptr<Db>> readers_;
  std::unique_ptr<Writer> writer_;
  std::unique_ptr<Pool> pool_;
  std::thread checkpointer_;
  std::mutex stopMutex_;
  std::condition_variable stopCv_;
  bool stopping_ = false;
  bool shutDown_ = false;
};

}  // namespace quintar::catalogue
