#include "sqlite.h"

namespace quintar::catalogue {

Db::Db(const std::string& path, int flags) {
  int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    std::string msg = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    Close();
    throw DbError("cannot open " + path + ": " + msg, rc);
  }
  sqlite3_extended_result_codes(db_, 1);
}

Db::~Db() { Close(); }

Db& Db::operator=(Db&& other) noexcept {
  if (this != &other) {
    Close();
    db_ = other.db_;
    other.db_ = nullptr;
  }
  return *this;
}

void Db::Close() {
  if (db_) sqlite3_close_v2(db_);
  db_ = nullptr;
}

void Db::Fail(int code, std::string_view what) const {
  std::string msg(what);
  msg += ": ";
  msg += db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
  throw DbError(msg, code);
}

void Db::Exec(const char* sql) {
  char* err = nullptr;
  int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &err);
  if (rc != SQLITE_OK) {
    std::string msg = err ? err : sqlite3_errstr(rc);
    sqlite3_free(err);
    throw DbError(msg, rc);
  }
}

std::optional<int64_t> Db::QueryInt(const char* sql) {
  Stmt s(*this, sql);
  if (!s.Step()) return std::nullopt;
  return s.Int(0);
}

Stmt::Stmt(Db& db, const char* sql) : db_(db) {
  int rc = sqlite3_prepare_v2(db.Handle(), sql, -1, &stmt_, nullptr);
  if (rc != SQLITE_OK) db.Fail(rc, "prepare");
}

Stmt::~Stmt() { sqlite3_finalize(stmt_); }

Stmt& Stmt::Bind(int i, int64_t v) {
  int rc = sqlite3_bind_int64(stmt_, i, v);
  if (rc != SQLITE_OK) db_.Fail(rc, "bind");
  return *this;
}

Stmt& Stmt::Bind(int i, std::string_view v) {
  int rc = sqlite3_bind_text64(stmt_, i, v.data(), v.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  if (rc != SQLITE_OK) db_.Fail(rc, "bind");
  return *this;
}

Stmt& Stmt::BindNull(int i) {
  int rc = sqlite3_bind_null(stmt_, i);
  if (rc != SQLITE_OK) db_.Fail(rc, "bind");
  return *this;
}

bool Stmt::Step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(stmt_);
  db_.Fail(rc, "step");
}

void Stmt::Run() {
  while (Step()) {
  }
  Reset();
}

void Stmt::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

std::string Stmt::Text(int col) const {
  const unsigned char* p = sqlite3_column_text(stmt_, col);
  int n = sqlite3_column_bytes(stmt_, col);
  return p ? std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(n)) : std::string();
}

Transaction::Transaction(Db& db, bool immediate) : db_(db) { db_.Exec(immediate ? "BEGIN IMMEDIATE" : "BEGIN"); }

Transaction::~Transaction() {
  if (open_) sqlite3_exec(db_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::Commit() {
  db_.Exec("COMMIT");
  open_ = false;
}

}  // namespace quintar::catalogue
