#include "service.h"

#include <malloc.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <optional>

#include "online/taggedtext.h"
#include "store.h"
#include "util/strutil.h"

namespace quintar::catalogue {

namespace {

// Refusal texts. Those about entries are the same whether the entry is missing, private or someone else's.
constexpr const char* kNoScript = "Сценарий не найден";
constexpr const char* kNotOwnScript = "Сценарий не найден среди Ваших сценариев";
constexpr const char* kNoSystem = "Система не найдена";
constexpr const char* kNotOwnSystem = "Система не найдена среди Ваших систем";
constexpr const char* kTitleTaken = "Сценарий с таким названием уже существует";
constexpr const char* kInternal = "Внутренняя ошибка сервера";

constexpr std::string_view kSystemSeparators = " *+,-./:;=\\_|~";

const char kAnswerHead[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<response>\n<result>\n";
const char kAnswerTail[] = "</result>\n</response>\n";

std::string Answer(std::string_view rows) {
  std::string out = kAnswerHead;
  out += rows;
  out += kAnswerTail;
  return out;
}

// One row of elements, in the order given.
std::string Row(std::initializer_list<std::pair<const char*, std::string>> elements) {
  std::string row = "<row>";
  for (const auto& [name, value] : elements) {
    row += '<';
    row += name;
    row += '>';
    row += value;
    row += "</";
    row += name;
    row += '>';
  }
  row += "</row>\n";
  return row;
}

std::string RefusalAnswer(std::string_view text) {
  std::string t(text);
  for (char& c : t)
    if (c == '<' || c == '>') c = '?';
  return Answer(Row({{"error", t}}));
}

void Require(bool ok, const std::string& text) {
  if (!ok) throw Refusal(text);
}

struct Identity {
  std::string appid, appver, hwdid, name, mail;
  int lcid = 0;
};

// The identity fields; optional ones may be missing (they read as empty).
Identity ReadIdentity(const Form& f, bool optional) {
  Identity id;
  auto text = [&](const char* n, bool escaped) -> std::string {
    if (optional && !f.Has(n)) return "";
    return escaped ? f.Escaped(n) : f.Text(n);
  };
  id.appid = text("appid", false);
  id.appver = text("appver", false);
  id.hwdid = text("hwdid", false);
  id.name = text("cl_name", true);
  id.mail = Trim(text("cl_mail", true));
  id.lcid = optional && !f.Has("cl_lcid") ? 0 : f.Int("cl_lcid");
  return id;
}

User UserOf(const Identity& id) { return User{AnsiLowerCase(id.mail), id.hwdid}; }

void CheckPlainValue(const std::string& v, size_t maxChars, const char* what) {
  Require(CharCount(v) <= maxChars, std::string(what) + " длиннее " + std::to_string(maxChars) + " символов");
  Require(!HasMarkupOrControl(v), std::string(what) + ": недопустимые знаки (угловые скобки или управляющие символы)");
}

void CheckHwdid(const std::string& h) {
  Require(!h.empty(), "не задан идентификатор компьютера (hwdid)");
  Require(IsValidHwdid(h), "недопустимый идентификатор компьютера (hwdid)");
}

void CheckLcid(int lcid) { Require(lcid >= 0 && lcid <= 65535, "недопустимый язык (cl_lcid)"); }

// The identity of a request that stores or deletes an entry.
void CheckWriter(const Identity& id) {
  CheckHwdid(id.hwdid);
  Require(IsValidOwnerMail(id.mail), "недопустимый адрес e-mail (cl_mail)");
  Require(!Trim(id.name).empty(), "не указано имя автора (cl_name)");
  CheckPlainValue(id.name, 64, "Имя автора");
  CheckPlainValue(id.appid, 64, "appid");
  CheckPlainValue(id.appver, 32, "appver");
  CheckLcid(id.lcid);
}

// The identity of a rating: a machine id; the name, e-mail and program go back in the ratings list.
void CheckRater(const Identity& id) {
  CheckHwdid(id.hwdid);
  CheckPlainValue(id.mail, 254, "Адрес e-mail");
  CheckPlainValue(id.name, 64, "Имя");
  CheckPlainValue(id.appid, 64, "appid");
  CheckPlainValue(id.appver, 32, "appver");
  CheckLcid(id.lcid);
}

// A title of one line, 1..64 characters after trimming; returns it trimmed.
std::string CheckTitle(const std::string& title, const char* what) {
  std::string t = Trim(title);
  Require(!t.empty(), std::string(what) + ": не указано название");
  Require(CharCount(t) <= 64, std::string(what) + ": название длиннее 64 символов");
  Require(!HasMarkupOrControl(t, "<>"), std::string(what) + ": название должно быть одной строкой");
  return t;
}

bool Visible(const User& u, const std::string& ownerMail, const std::string& ownerHwdid, bool isPublic) {
  return isPublic || u.Owns(ownerMail, ownerHwdid);
}

// Checks the lines of a system and gives its text with every line ended by CR LF.
std::string CheckSystemText(const std::string& clist, int csize, int nums) {
  Require(IsStrictBase64(clist), "список комбинаций (clist) не Base64");
  std::string bytes = Base64Decode(clist);
  Require(IsValidUtf8(bytes), "список комбинаций (clist) не в UTF-8");
  std::string text = UnescapeText(bytes);
  size_t count = CountLines(text);
  Require(static_cast<int64_t>(count) == csize,
          "в списке " + std::to_string(count) + " строк, а указано csize=" + std::to_string(csize));
  std::vector<std::string_view> lines = SplitLines(text);
  std::string out;
  out.reserve(text.size() + lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    std::vector<std::string> fields = SplitAny(lines[i], kSystemSeparators, true);
    std::string where = "строка " + std::to_string(i + 1) + " системы: ";
    Require(fields.size() == 7, where + "нужно семь позиций");
    uint64_t seen = 0;
    for (const std::string& field : fields) {
      std::string v = Trim(field);
      std::optional<int> p;
      if (!v.empty() && v.size() <= 2 && v.find_first_not_of("0123456789") == std::string::npos) p = std::stoi(v);
      Require(p && *p >= 1 && *p <= nums, where + "позиция вне 1.." + std::to_string(nums));
      Require(!(seen & (uint64_t(1) << *p)), where + "позиция повторяется");
      seen |= uint64_t(1) << *p;
    }
    out += lines[i];
    out += "\r\n";
  }
  return out;
}

int64_t Now() { return static_cast<int64_t>(std::time(nullptr)); }

HttpResponse TextResponse(int status, const std::string& text) {
  HttpResponse r;
  r.Status = status;
  r.ContentType = "text/plain; charset=utf-8";
  r.Body = text + "\n";
  return r;
}

}  // namespace

// ---- the writer ----

class CatalogueService::Writer {
 public:
  Writer(Db db, ListCache& cache, RequestLog* log) : db_(std::move(db)), cache_(cache), log_(log) {
    db_.Exec("PRAGMA wal_autocheckpoint=0");  // the checkpointer thread does it, off the writer's path
    thread_ = std::thread([this] { Loop(); });
  }
  ~Writer() { Stop(); }

  void Submit(WriteFn fn, std::function<void(HttpResponse)> done) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      queue_.push_back(Job{std::move(fn), std::move(done)});
    }
    cv_.notify_one();
  }

  // Waits until a batch has run: the cache then holds the database as it was at that batch.
  void Sync() {
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    Submit(nullptr, [&](HttpResponse) {
      std::lock_guard<std::mutex> lock(m);
      done = true;
      cv.notify_one();
    });
    std::unique_lock<std::mutex> lock(m);
    cv.wait(lock, [&] { return done; });
  }

  void Stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    cv_.notify_one();
    if (thread_.joinable()) thread_.join();
    db_.Close();
  }

 private:
  struct Job {
    WriteFn run;  // nullptr: only a sync
    std::function<void(HttpResponse)> done;
  };

  void Loop() {
    for (;;) {
      std::vector<Job> batch;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        cv_.wait(lock, [&] { return stop_ || !queue_.empty(); });
        if (queue_.empty()) return;  // stopping, and nothing left
        while (!queue_.empty() && batch.size() < 256) {
          batch.push_back(std::move(queue_.front()));
          queue_.pop_front();
        }
      }
      RunBatch(batch);
    }
  }

  void RunBatch(std::vector<Job>& batch) {
    std::vector<HttpResponse> answers(batch.size());
    const int64_t now = Now();
    try {
      Transaction tx(db_);
      int64_t generation = ReadGeneration(db_);
      if (cache_.Generation() != generation) cache_.Reload(db_, generation);  // changed by another process
      CacheDelta delta;
      bool wrote = false;
      for (size_t i = 0; i < batch.size(); ++i) {
        if (!batch[i].run) continue;
        db_.Exec("SAVEPOINT request");
        try {
          WriteContext ctx{db_, delta, now};
          int64_t before = sqlite3_total_changes64(db_.Handle());
          answers[i].Body = batch[i].run(ctx);
          wrote = wrote || sqlite3_total_changes64(db_.Handle()) != before;
          db_.Exec("RELEASE request");
        } catch (const Refusal& e) {
          db_.Exec("ROLLBACK TO request; RELEASE request");
          answers[i].Body = RefusalAnswer(e.what());
        } catch (const std::exception& e) {
          db_.Exec("ROLLBACK TO request; RELEASE request");
          if (log_) log_->Note(std::string("error: ") + e.what());
          answers[i].Status = 500;
          answers[i].Body = RefusalAnswer(kInternal);
        }
      }
      if (wrote) {
        BumpGeneration(db_);
        std::shared_ptr<ListCache::Prepared> rows = cache_.Prepare(db_, delta);
        cache_.SetPending(generation + 1);
        tx.Commit();
        cache_.Apply(*rows, generation + 1);
      } else {
        tx.Commit();
      }
    } catch (const std::exception& e) {
      // The batch could not be committed (the disk, a lock held too long): nothing of it holds.
      if (log_) log_->Note(std::string("error: the writes could not be committed: ") + e.what());
      cache_.Invalidate();
      for (HttpResponse& a : answers) {
        a.Status = 500;
        a.Body = RefusalAnswer(kInternal);
      }
    }
    for (size_t i = 0; i < batch.size(); ++i)
      if (batch[i].done) batch[i].done(std::move(answers[i]));
  }

  Db db_;
  ListCache& cache_;
  RequestLog* log_;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<Job> queue_;
  bool stop_ = false;
};

// ---- the workers ----

class CatalogueService::Pool {
 public:
  explicit Pool(int n) {
    for (int i = 0; i < n; ++i) threads_.emplace_back([this, i] { Loop(i); });
  }
  ~Pool() { Stop(); }
  // Light tasks (all but the lists) go before the lists waiting: a small request never waits for the
  // building of several large answers.
  void Submit(std::function<void(int)> task, bool light) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      (light ? light_ : heavy_).push_back(std::move(task));
    }
    cv_.notify_one();
  }
  void Stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    cv_.notify_all();
    for (auto& t : threads_)
      if (t.joinable()) t.join();
    threads_.clear();
  }

 private:
  void Loop(int worker) {
    for (;;) {
      std::function<void(int)> task;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        cv_.wait(lock, [&] { return stop_ || !light_.empty() || !heavy_.empty(); });
        auto& q = !light_.empty() ? light_ : heavy_;
        if (q.empty()) return;
        task = std::move(q.front());
        q.pop_front();
      }
      task(worker);
    }
  }
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<std::function<void(int)>> light_, heavy_;
  bool stop_ = false;
};

// ---- the endpoints ----

struct CatalogueService::Endpoint {
  const char* path;
  std::string (CatalogueService::*read)(Db&, const Form&);
  Prepared (CatalogueService::*write)(const Form&);
  bool list;  // a list answer: large, built after the small requests waiting
};

CatalogueService::CatalogueService(Db db, ServiceOptions options, RequestLog* log)
    : options_(std::move(options)), log_(log), cache_(options_.AppNames) {
  for (int i = 0; i < options_.Workers; ++i)
    readers_.push_back(std::make_unique<Db>(OpenConnection(options_.DbPath, true)));
  writer_ = std::make_unique<Writer>(std::move(db), cache_, log_);
  writer_->Sync();  // the cache is filled before the first request
  pool_ = std::make_unique<Pool>(options_.Workers);
  checkpointer_ = std::thread([this] {
    Db db = OpenConnection(options_.DbPath, false);
    std::unique_lock<std::mutex> lock(stopMutex_);
    while (!stopCv_.wait_for(lock, std::chrono::seconds(1), [&] { return stopping_; })) {
      lock.unlock();
      // Each second what the log holds goes into the database without waiting for anyone; a log grown past
      // 64 MiB (readers never let it start over) is emptied once, waiting for the readers of the moment.
      std::error_code ec;
      auto wal = std::filesystem::file_size(options_.DbPath + "-wal", ec);
      try {
        db.Exec(!ec && wal > (uintmax_t(64) << 20) ? "PRAGMA wal_checkpoint(TRUNCATE)"
                                                   : "PRAGMA wal_checkpoint(PASSIVE)");
      } catch (const std::exception&) {
        // busy: the next round
      }
      malloc_trim(0);  // the memory of answers sent meanwhile goes back to the system
      lock.lock();
    }
    lock.unlock();
    try {
      db.Exec("PRAGMA wal_checkpoint(TRUNCATE)");
    } catch (const std::exception&) {
    }
  });
}

CatalogueService::~CatalogueService() { Shutdown(); }

void CatalogueService::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  pool_->Stop();
  writer_->Stop();
  readers_.clear();
  {
    std::lock_guard<std::mutex> lock(stopMutex_);
    stopping_ = true;
  }
  stopCv_.notify_all();
  if (checkpointer_.joinable()) checkpointer_.join();
}

void CatalogueService::Handle(HttpRequest&& req, HttpReply reply) {
  const Endpoint* ep = FindEndpoint(req.Path);
  if (!ep) {
    reply(TextResponse(404, "not found"));
    return;
  }
  if (req.Method != "POST") {
    HttpResponse r = TextResponse(405, "only POST");
    r.Headers.emplace_back("Allow", "POST");
    reply(std::move(r));
    return;
  }
  std::string type = AnsiLowerCase(Trim(req.Header("Content-Type")));
  if (!type.empty() && type.rfind("application/x-www-form-urlencoded", 0) != 0) {
    reply(TextResponse(415, "the body must be application/x-www-form-urlencoded"));
    return;
  }
  pool_->Submit(
      [this, ep, body = std::move(req.Body), reply = std::move(reply)](int worker) mutable {
        HttpResponse r;
        try {
          Form form = Form::Parse(body);
          if (ep->read) {
            r.Body = (this->*ep->read)(*readers_[static_cast<size_t>(worker)], form);
          } else {
            Prepared p = (this->*ep->write)(form);
            if (p.job) {
              writer_->Submit(std::move(p.job), std::move(reply));
              return;
            }
            r.Body = std::move(p.answer);
          }
        } catch (const Refusal& e) {
          r.Body = RefusalAnswer(e.what());
        } catch (const std::exception& e) {
          if (log_) log_->Note(std::string("error: ") + e.what());
          r.Status = 500;
          r.Body = RefusalAnswer(kInternal);
        }
        reply(std::move(r));
      },
      !ep->list);
}

void CatalogueService::EnsureCurrent(Db& reader) {
  if (!cache_.IsCurrent(ReadGeneration(reader))) writer_->Sync();
}

std::string CatalogueService::ScrGetList(Db& reader, const Form& f) {
  int fltid = f.Int("fltid");
  Identity id = ReadIdentity(f, false);
  Require(fltid >= -1 && fltid <= 6, "неизвестный фильтр списка (fltid)");
  EnsureCurrent(reader);
  std::string out = kAnswerHead;
  cache_.ScriptRows(out, UserOf(id), fltid, Now());
  out += kAnswerTail;
  return out;
}

std::string CatalogueService::SysGetList(Db& reader, const Form& f) {
  int comblen = f.Int("comblen");
  int maxnums = f.Int("maxnums");
  Identity id = ReadIdentity(f, false);
  EnsureCurrent(reader);
  std::string out = kAnswerHead;
  cache_.SystemRows(out, UserOf(id), comblen, maxnums);
  out += kAnswerTail;
  return out;
}

std::string CatalogueService::ScrGetRates(Db& reader, const Form& f) {
  int scriptId = f.Int("scr_id");
  User user = UserOf(ReadIdentity(f, true));
  Transaction tx(reader, false);
  {
    Stmt s(reader, "SELECT owner_mail, owner_hwdid, publics FROM scripts WHERE id = ?1");
    s.Bind(1, scriptId);
    Require(s.Step() && Visible(user, s.Text(0), s.Text(1), s.Int(2) != 0), kNoScript);
  }
  Stmt r(reader,
         "SELECT name, rate, created, appid, appver, notes FROM ratings WHERE script_id = ?1 AND rate > 0 "
         "ORDER BY created DESC, id DESC");
  r.Bind(1, scriptId);
  std::string rows;
  while (r.Step())
    rows += Row({{"key_cl_name", PlainValue(r.Text(0))},
                 {"rate", std::to_string(r.Int(1))},
                 {"created", FormatUtc(r.Int(2))},
                 {"app_name", PlainValue(cache_.AppName(r.Text(3)))},
                 {"app_ver", PlainValue(r.Text(4))},
                 {"notes", PlainValue(r.Text(5), "\t\r\n")}});
  return Answer(rows);
}

std::string CatalogueService::ScrChkTitle(Db& reader, const Form& f) {
  int scriptId = f.Int("scr_id");
  std::string title = CheckTitle(f.Escaped("scr_title"), "Название сценария");
  Stmt s(reader, "SELECT 1 FROM scripts WHERE title_key = ?1 AND id <> ?2 LIMIT 1");
  s.Bind(1, AnsiLowerCase(title)).Bind(2, scriptId);
  return Answer(Row({{"ret_code", s.Step() ? "1" : "0"}}));
}

CatalogueService::Prepared CatalogueService::ScrGetData(const Form& f) {
  int scriptId = f.Int("scr_id");
  User user = UserOf(ReadIdentity(f, true));
  return {"", [scriptId, user](WriteContext& c) {
            std::string text;
            {
              Stmt s(c.db, "SELECT owner_mail, owner_hwdid, publics, script FROM scripts WHERE id = ?1");
              s.Bind(1, scriptId);
              Require(s.Step() && Visible(user, s.Text(0), s.Text(1), s.Int(2) != 0), kNoScript);
              text = s.Text(3);
            }
            Stmt u(c.db, "UPDATE scripts SET downloads = downloads + 1, last_download = ?2 WHERE id = ?1");
            u.Bind(1, scriptId).Bind(2, c.now).Run();
            c.delta.Scripts.insert(scriptId);
            return Answer(Row({{"script", Base64Encode(text)}}));
          }};
}

CatalogueService::Prepared CatalogueService::ScrSetRate(const Form& f) {
  int scriptId = f.Int("scr_id");
  int rate = f.Int("rate_value");
  std::string notes = f.Escaped("rate_notes");
  Identity id = ReadIdentity(f, false);
  if (rate < -1 || rate > 5) return {Answer(Row({{"res_code", "-2"}})), nullptr};
  CheckRater(id);
  Require(CharCount(notes) <= 1000, "комментарий длиннее 1000 символов");
  Require(!HasMarkupOrControl(notes, "\t\r\n"),
          "комментарий: недопустимые знаки (угловые скобки или управляющие символы)");
  User user = UserOf(id);
  return {"", [scriptId, rate, notes, id, user](WriteContext& c) {
            {
              Stmt s(c.db, "SELECT owner_mail, owner_hwdid, publics FROM scripts WHERE id = ?1");
              s.Bind(1, scriptId);
              if (!s.Step() || !Visible(user, s.Text(0), s.Text(1), s.Int(2) != 0))
                return Answer(Row({{"res_code", "-1"}}));
            }
            if (rate == 0) {
              Stmt d(c.db, "DELETE FROM ratings WHERE script_id = ?1 AND user_mail = ?2 AND user_hwdid = ?3");
              d.Bind(1, scriptId).Bind(2, user.Mail).Bind(3, user.Hwdid).Run();
            } else {
              Stmt i(c.db,
                     "INSERT OR REPLACE INTO ratings(script_id, user_mail, user_hwdid, rate, notes, name, appid, "
                     "appver, created) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
              i.Bind(1, scriptId).Bind(2, user.Mail).Bind(3, user.Hwdid).Bind(4, rate).Bind(5, notes);
              i.Bind(6, id.name).Bind(7, id.appid).Bind(8, id.appver).Bind(9, c.now).Run();
            }
            c.delta.Scripts.insert(scriptId);
            c.delta.Ratings.insert({scriptId, user.Key()});
            return Answer(Row({{"res_code", "0"}}));
          }};
}

CatalogueService::Prepared CatalogueService::ScrPutScript(const Form& f) {
  int mode = f.Int("del_mode");
  int scriptId = f.Int("scr_id");
  int uniapps = f.Int("scr_uniapps");
  int publics = f.Int("scr_publics");
  std::string title = f.Escaped("scr_title");
  std::string descr = f.Escaped("scr_descr");
  std::string script = mode == 0 ? f.Escaped("scr_script") : std::string();
  Identity id = ReadIdentity(f, false);
  Require(mode == 0 || mode == 1, "неизвестный режим (del_mode)");
  CheckWriter(id);
  User user = UserOf(id);
  auto checkOwner = [scriptId, user](Db& db) {
    Stmt s(db, "SELECT owner_mail, owner_hwdid FROM scripts WHERE id = ?1");
    s.Bind(1, scriptId);
    Require(s.Step() && user.Owns(s.Text(0), s.Text(1)), kNotOwnScript);
  };
  if (mode == 1) {
    Require(scriptId > 0, kNotOwnScript);
    return {"", [scriptId, checkOwner](WriteContext& c) {
              checkOwner(c.db);
              Stmt(c.db, "DELETE FROM ratings WHERE script_id = ?1").Bind(1, scriptId).Run();
              Stmt(c.db, "DELETE FROM scripts WHERE id = ?1").Bind(1, scriptId).Run();
              c.delta.Scripts.insert(scriptId);
              return Answer(Row({{"id_scripts", "0"}}));
            }};
  }
  title = CheckTitle(title, "Название сценария");
  Require(CharCount(descr) <= 16384, "описание длиннее 16384 символов");
  Require(!script.empty(), "текст сценария пуст");
  Require(CharCount(script) <= 1000000, "текст сценария длиннее 1000000 символов");
  Require(CountLines(script) <= 10000, "в сценарии больше 10000 строк");
  Require((uniapps == 0 || uniapps == 1) && (publics == 0 || publics == 1),
          "scr_uniapps и scr_publics должны быть 0 или 1");
  return {"", [=](WriteContext& c) {
            if (scriptId > 0) checkOwner(c.db);
            std::string key = AnsiLowerCase(title);
            {
              Stmt s(c.db, "SELECT 1 FROM scripts WHERE title_key = ?1 AND id <> ?2 LIMIT 1");
              s.Bind(1, key).Bind(2, scriptId);
              Require(!s.Step(), kTitleTaken);
            }
            int64_t newId = scriptId;
            if (scriptId <= 0) {
              Stmt s(c.db,
                     "INSERT INTO scripts(owner_mail, owner_hwdid, author_name, author_mail, appid, appver, lcid, "
                     "uniapps, publics, title, title_key, descr, created, script) "
                     "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14)");
              s.Bind(1, user.Mail).Bind(2, user.Hwdid).Bind(3, id.name).Bind(4, id.mail).Bind(5, id.appid);
              s.Bind(6, id.appver).Bind(7, id.lcid).Bind(8, uniapps).Bind(9, publics).Bind(10, title);
              s.Bind(11, key).Bind(12, descr).Bind(13, c.now).Bind(14, script).Run();
              newId = c.db.LastInsertId();
            } else {
              Stmt s(c.db,
                     "UPDATE scripts SET title = ?2, title_key = ?3, descr = ?4, script = ?5, uniapps = ?6, "
                     "publics = ?7, author_name = ?8, lcid = ?9, appver = ?10, created = ?11 WHERE id = ?1");
              s.Bind(1, scriptId).Bind(2, title).Bind(3, key).Bind(4, descr).Bind(5, script).Bind(6, uniapps);
              s.Bind(7, publics).Bind(8, id.name).Bind(9, id.lcid).Bind(10, id.appver).Bind(11, c.now).Run();
            }
            c.delta.Scripts.insert(static_cast<int>(newId));
            return Answer(Row({{"id_scripts", std::to_string(newId)}}));
          }};
}

CatalogueService::Prepared CatalogueService::SysGetData(const Form& f) {
  int systemId = f.Int("sys_id");
  ReadIdentity(f, true);
  return {"", [systemId](WriteContext& c) {
            std::string text;
            {
              Stmt s(c.db, "SELECT clist FROM systems WHERE id = ?1");
              s.Bind(1, systemId);
              Require(s.Step(), kNoSystem);
              text = s.Text(0);
            }
            Stmt u(c.db, "UPDATE systems SET downloads = downloads + 1, last_download = ?2 WHERE id = ?1");
            u.Bind(1, systemId).Bind(2, c.now).Run();
            c.delta.Systems.insert(systemId);
            return Answer(Row({{"clist", Base64Encode(text)}}));
          }};
}

CatalogueService::Prepared CatalogueService::SysPutData(const Form& f) {
  int mode = f.Int("del_mode");
  int systemId = f.Int("sys_id");
  int nums = f.Int("nums");
  int clen = f.Int("clen");
  int olap = f.Int("olap");
  std::string title = f.Escaped("title");
  std::string descr = f.Escaped("descr");
  int csize = f.Int("csize");
  const std::string& clist = f.Text("clist");
  std::string url = f.Text("url");
  Identity id = ReadIdentity(f, false);
  Require(mode == 0 || mode == 1, "неизвестный режим (del_mode)");
  CheckWriter(id);
  User user = UserOf(id);
  auto checkOwner = [systemId, user](Db& db) {
    Stmt s(db, "SELECT owner_mail, owner_hwdid FROM systems WHERE id = ?1");
    s.Bind(1, systemId);
    Require(s.Step() && user.Owns(s.Text(0), s.Text(1)), kNotOwnSystem);
  };
  if (mode == 1) {
    Require(systemId > 0, kNotOwnSystem);
    return {"", [systemId, checkOwner](WriteContext& c) {
              checkOwner(c.db);
              Stmt(c.db, "DELETE FROM systems WHERE id = ?1").Bind(1, systemId).Run();
              c.delta.Systems.insert(systemId);
              return Answer(Row({{"id_systems", "0"}}));
            }};
  }
  Require(nums >= 8 && nums <= 35, "количество чисел (nums) вне 8..35");
  Require(clen == 7, "длина комбинации (clen) должна быть 7");
  Require(olap >= 0 && olap <= 6, "размер блока (olap) вне 0..6");
  Require(!Trim(title).empty() && CharCount(title) <= 64 && !HasMarkupOrControl(title, "<>"),
          "название системы: от 1 до 64 символов в одной строке");
  Require(!Trim(descr).empty() && CharCount(descr) <= 16384, "описание системы: от 1 до 16384 символов");
  bool urlOk =
      url.empty() || ((StartsWithText(url, "http://") || StartsWithText(url, "https://")) && CharCount(url) <= 1000 &&
                      !HasMarkupOrControl(url) && url.find(' ') == std::string::npos);
  Require(urlOk, "ссылка (url): пусто или адрес http:// или https:// без пробелов, до 1000 знаков");
  Require(csize >= 1 && csize <= 100000, "количество комбинаций (csize) вне 1..100000");
  std::string text = CheckSystemText(clist, csize, nums);
  return {"", [=](WriteContext& c) {
            int64_t newId = systemId;
            if (systemId <= 0) {
              Stmt s(c.db,
                     "INSERT INTO systems(owner_mail, owner_hwdid, author_name, author_mail, appid, appver, lcid, "
                     "nums, clen, olap, csize, title, descr, url, created, clist) "
                     "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16)");
              s.Bind(1, user.Mail).Bind(2, user.Hwdid).Bind(3, id.name).Bind(4, id.mail).Bind(5, id.appid);
              s.Bind(6, id.appver).Bind(7, id.lcid).Bind(8, nums).Bind(9, clen).Bind(10, olap).Bind(11, csize);
              s.Bind(12, title).Bind(13, descr).Bind(14, url).Bind(15, c.now).Bind(16, text).Run();
              newId = c.db.LastInsertId();
            } else {
              checkOwner(c.db);
              Stmt s(c.db,
                     "UPDATE systems SET author_name = ?2, appver = ?3, lcid = ?4, nums = ?5, clen = ?6, olap = ?7, "
                     "csize = ?8, title = ?9, descr = ?10, url = ?11, created = ?12, clist = ?13 WHERE id = ?1");
              s.Bind(1, systemId).Bind(2, id.name).Bind(3, id.appver).Bind(4, id.lcid).Bind(5, nums).Bind(6, clen);
              s.Bind(7, olap).Bind(8, csize).Bind(9, title).Bind(10, descr).Bind(11, url).Bind(12, c.now);
              s.Bind(13, text).Run();
            }
            c.delta.Systems.insert(static_cast<int>(newId));
            return Answer(Row({{"id_systems", std::to_string(newId)}}));
          }};
}

const CatalogueService::Endpoint* CatalogueService::FindEndpoint(const std::string& path) {
  static const Endpoint kEndpoints[] = {
      {"/scripts/scr_getlist.php", &CatalogueService::ScrGetList, nullptr, true},
      {"/scripts/scr_getdata.php", nullptr, &CatalogueService::ScrGetData, false},
      {"/scripts/scr_setrate.php", nullptr, &CatalogueService::ScrSetRate, false},
      {"/scripts/scr_chktitle.php", &CatalogueService::ScrChkTitle, nullptr, false},
      {"/scripts/scr_putscript.php", nullptr, &CatalogueService::ScrPutScript, false},
      {"/scripts/scr_getrates.php", &CatalogueService::ScrGetRates, nullptr, false},
      {"/scripts/sys_getlist.php", &CatalogueService::SysGetList, nullptr, true},
      {"/scripts/sys_getdata.php", nullptr, &CatalogueService::SysGetData, false},
      {"/scripts/sys_putdata.php", nullptr, &CatalogueService::SysPutData, false},
  };
  for (const auto& e : kEndpoints)
    if (path == e.path) return &e;
  return nullptr;
}

}  // namespace quintar::catalogue
