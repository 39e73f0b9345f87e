// The catalogue service as its tests meet it: the real quintar-catalogue-server started on a free port, the
// program's own client (libcurl through WebPostForm) for the requests, raw sockets for what no client would
// send, and the answers read element by element.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace quintar::test {

class CatalogueServer {
 public:
  // Starts the server on the database with the extra options; Started() tells whether it came up.
  explicit CatalogueServer(std::string dbPath, std::vector<std::string> extra = {});
  ~CatalogueServer();
  CatalogueServer(const CatalogueServer&) = delete;
  CatalogueServer& operator=(const CatalogueServer&) = delete;

  bool Started() const { return port_ > 0; }
  int Port() const { return port_; }
  pid_t Pid() const { return pid_; }
  std::string Url(const std::string& request) const;  // http://127.0.0.1:PORT/scripts/REQUEST.php
  // Sends the signal and waits: the exit status, or 128 + the signal when it was killed.
  int Stop(int sig);
  std::string Log() const;     // the request log and the server's own lines
  std::string Errors() const;  // what it wrote on standard error

 private:
  std::string dir_;
  pid_t pid_ = -1;
  int port_ = 0;
};

// The server as a one-shot command (operator commands, refused start-ups): exit status, stdout, stderr.
int RunCatalogueServer(const std::vector<std::string>& args, std::string* out = nullptr, std::string* err = nullptr);

// Who sends a request: the identity fields as the client sends them.
struct Who {
  std::string name, mail, hwdid;
  std::vector<std::string> Fields() const;  // appid, appver, hwdid, cl_name, cl_mail, cl_lcid
};

// One answer row: its elements in order.
struct Row {
  std::vector<std::pair<std::string, std::string>> items;
  std::string operator[](const std::string& name) const;  // "" when missing
  std::vector<std::string> Names() const;
};

struct Answer {
  std::string error;  // the refusal's text, "" when none
  std::vector<Row> rows;
  std::string raw;
};

// Reads an answer: the result element, its rows and their elements; the error row as the client finds it.
Answer ReadAnswer(const std::string& text);
// A request through the program's HTTP client; the form's values are encoded by it ("name=value" items;
// items without "=" go as they are). An HTTP error status raises EWebError.
Answer Call(const CatalogueServer& s, const std::string& request, const std::vector<std::string>& form);
// Sends bytes on a fresh connection and gives what came back until the server closed it or timeoutMs passed.
std::string RawExchange(int port, const std::string& bytes, int timeoutMs = 5000);
// The HTTP status of a raw answer, 0 when none.
int HttpStatus(const std::string& raw);

// The request forms, as the client builds them (escaped fields escaped).
std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b);
std::vector<std::string> PublishForm(int id, const std::string& title, const std::string& descr,
                                     const std::string& script, bool universal, bool isPublic, const Who& w);
std::vector<std::string> DeleteScriptForm(int id, const Who& w);
std::vector<std::string> RateForm(int id, int value, const std::string& notes, const Who& w);
std::vector<std::string> SystemForm(int mode, int id, int nums, int olap, const std::string& title,
                                    const std::string& descr, const std::string& lines, int csize,
                                    const std::string& url, const Who& w);

// A value of a Base64 element, decoded.
std::string FromBase64(const std::string& s);

}  // namespace quintar::test
