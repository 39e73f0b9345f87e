// A thin layer over the SQLite C interface: a connection, prepared statements with bound parameters, and
// the error type every failure raises. Nothing here knows the catalogue's tables.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quintar::catalogue {

struct DbError : std::runtime_error {
  DbError(const std::string& msg, int code) : std::runtime_error(msg), Code(code) {}
  int Code;
};

class Stmt;

class Db {
 public:
  Db() = default;
  // Opens the file (flags as sqlite3_open_v2); raises DbError.
  Db(const std::string& path, int flags);
  ~Db();
  Db(Db&& other) noexcept : db_(other.db_) { other.db_ = nullptr; }
  Db& operator=(Db&& other) noexcept;
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  sqlite3* Handle() const { return db_; }
  bool IsOpen() const { return db_ != nullptr; }
  void Close();
  // Runs statements without results (several may be given, separated by ";").
  void Exec(const char* sql);
  // The first column of the first row of a query as an integer, or std::nullopt when there is no row.
  std::optional<int64_t> QueryInt(const char* sql);
  int64_t Changes() const { return sqlite3_changes64(db_); }
  int64_t LastInsertId() const { return sqlite3_last_insert_rowid(db_); }
  [[noreturn]] void Fail(int code, std::string_view what) const;

 private:
  sqlite3* db_ = nullptr;
};

// A prepared statement. Parameters are numbered from 1; columns from 0.
class Stmt {
 public:
  Stmt(Db& db, const char* sql);
  ~Stmt();
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;

  Stmt& Bind(int i, int64_t v);
  Stmt& Bind(int i, int v) { return Bind(i, static_cast<int64_t>(v)); }
  Stmt& Bind(int i, std::string_view v);
  Stmt& Bind(int i, const std::string& v) { return Bind(i, std::string_view(v)); }
  Stmt& Bind(int i, const char* v) { return Bind(i, std::string_view(v)); }
  Stmt& BindNull(int i);
  // Steps once: true while a row is there.
  bool Step();
  // Steps through a statement without results.
  void Run();
  void Reset();

  int64_t Int(int col) const { return sqlite3_column_int64(stmt_, col); }
  bool IsNull(int col) const { return sqlite3_column_type(stmt_, col) == SQLITE_NULL; }
  std::string Text(int col) const;

 private:
  Db& db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// A transaction that rolls back unless committed. Immediate: takes the write lock at once.
class Transaction {
 public:
  explicit Transaction(Db& db, bool immediate = true);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();

 private:
  Db& db_;
  bool open_ = true;
};

}  // namespace quintar::catalogue
